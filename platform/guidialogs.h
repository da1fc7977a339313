// Message boxes and file dialogs as real windows: the dialog backend the GUI
// installs. Private to platform/.
#pragma once

// Installs the backend in place of the console one; a backend a test
// installed stays in charge.
void InstallGuiDialogs();
