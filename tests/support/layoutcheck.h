// Looks at a form as a user would: renders it to a PNG under the build folder
// and lists controls that stick out of their parent, overlap a sibling or
// cut their caption.
#pragma once

#include <string>
#include <vector>

class TWinControl;
class TForm;

// Problems found, one text each; empty when the form looks right. Pictures
// (images) may lie under other controls, as a splash picture does.
std::vector<std::string> LayoutProblems(TWinControl* root);
// Saves what the form shows to screenshots/<name>.png and returns the path.
std::string SaveScreenshot(TForm* form, const std::string& name);
