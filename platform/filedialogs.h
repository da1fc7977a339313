// Open and save dialogs. Filters are "description|pattern" pairs joined by
// "|"; a pattern may hold several masks separated by ";".
#pragma once

#include "platform/controls.h"

#include <string>

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    // True when the user chose a file; FileName then holds its path.
    virtual bool Execute();
    std::string FileName;
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string DefaultExt;
    std::string Title;

protected:
    bool save_ = false;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) { save_ = true; }
};
