// Message boxes and file dialogs as real windows: the dialog backend the GUI
// installs. Private to platform/.
#pragma once

// Installs the backend; a test's own backend, when installed, stays in charge.
void InstallGuiDialogs();
