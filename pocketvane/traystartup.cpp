#include "pocketvane/traystartup.h"

#include "platform/formkit.h"
#include "platform/winapi.h"
#include "pocketvane/converterwin.h"
#include "pocketvane/hotkeywin.h"
#include "pocketvane/trayabout.h"
#include "pocketvane/traymain.h"

void CreateTrayForms() {
    Application->Initialize();
    Application->SetTitle("Pocketvane");
    // The main form stays hidden: the program lives in the tray.
    Application->SetShowMainForm(false);
    Application->CreateForm(TrayMainForm);
    Application->CreateForm(Form2);
    Application->CreateForm(TrayAboutForm);
    Application->CreateForm(HotKeyForm);
}

int WinMain() {
    TApplication application;
    try {
        // No task-bar entry for any window of the program.
        SetWindowLongA(Application, GWL_EXSTYLE, GetWindowLongA(Application, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
        // Held for the life of the process; a second copy ends at once, quietly.
        [[maybe_unused]] static HANDLE running = CreateMutexA(nullptr, false, "Pocketvane");
        if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
        CreateTrayForms();
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e.what());
    }
    return 0;
}
