// Writes a rate file, the window-layout file and tallyvane2.ini over and
// over through the programs' own code, until it is killed. Every file carries
// the round number n, so a reader can tell which round it holds. With
// "named" after the folder it writes as on a file system without unnamed
// temporary files.
#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "mainwin/main.h"
#include "mainwin/startup.h"
#include "platform/sysutils.h"
#include "support/fakedialogs.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    SetProgramFolder(argv[1]);
    if (argc > 2 && std::string(argv[2]) == "named") SetUnnamedTempFiles(false);
    ScriptedResponder quiet;
    TApplication application;
    CreateApplicationForms();
    MainForm->ProgramDir = argv[1];
    for (int n = 1;; ++n) {
        {
            Pacific source;
            for (CurrItr it = source.GetCurrencies(); it.HasNext();) it.Next()->SetValue(n);
        }
        MainForm->SetBounds(n % 1000, 0, 600, 400);
        MainForm->SaveWindowSettings();
        Settings settings(ProgramPath("\\tallyvane2.ini"));
        settings.Port = n;
        settings.Save();
        if (n == 1) {
            std::puts("writing");
            std::fflush(stdout);
        }
    }
}
