#include "mainwin/startup.h"

#include "export/exportwin.h"
#include "mainwin/about.h"
#include "mainwin/loadingwin.h"
#include "mainwin/main.h"
#include "mainwin/saving.h"
#include "update/userauthwin.h"
#include "windows/editcurrencywin.h"
#include "windows/preferredsetwin.h"

void CreateApplicationForms() {
    Application->Initialize();
    Application->SetTitle("Tallyvane 2");
    Application->CreateForm(MainForm);
    Application->CreateForm(AboutForm);
    Application->CreateForm(EditCurrencyForm);
    Application->CreateForm(PrefSetForm);
    Application->CreateForm(SavingForm);
    Application->CreateForm(LoadingForm);
    Application->CreateForm(UserAuthFrm);
    Application->CreateForm(ExportForm);
}

int WinMain() {
    TApplication application;
    try {
        CreateApplicationForms();
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e.what());
    }
    return 0;
}
