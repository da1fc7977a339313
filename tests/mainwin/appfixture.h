// A test run of the main program in a temporary program folder with the
// shipped rate files: the forms made as the program makes them, every message
// box and shell launch recorded, and the program shut down at the end.
#pragma once

#include "currency/settings.h"
#include "mainwin/main.h"
#include "mainwin/startup.h"
#include "platform/shellapi.h"
#include "platform/wininet.h"
#include "support/fakebackends.h"
#include "support/testenv.h"
#include "windows/currencywindow.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

class MainWindow : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        CopyShippedData(folder.Path());
        SetOnlineStateOverride(0);
        ResetClosedStates();
        EnsureToolkit();
        app = std::make_unique<TApplication>();
        CreateApplicationForms();
    }
    void TearDown() override {
        if (MainForm && MainForm->CurrentSource) MainForm->Close();  // shut down as the program does
        app.reset();
        QApplication::processEvents();
        try {
            Settings::Release();
        } catch (...) {
        }
        SetOnlineStateOverride(-1);
        ProgramFolderTest::TearDown();
    }
    void Ini(const std::string& text) { WriteAll(folder.File("tallyvane2.ini"), text); }
    // Starts as the program does when its message loop shows the main window.
    void Start() {
        MainForm->Show();
        QApplication::setActiveWindow(MainForm->Handle());
    }
    // Quits the program as the user does and starts it again in the same folder.
    void Restart() {
        if (MainForm->CurrentSource) MainForm->Close();
        app.reset();
        QApplication::processEvents();
        ResetClosedStates();
        app = std::make_unique<TApplication>();
        CreateApplicationForms();
        Start();
    }
    std::vector<std::string> Captions(TMenuItem* menu) {
        std::vector<std::string> out;
        for (int i = 0; i < menu->Count(); ++i) out.push_back(menu->Items(i)->Caption());
        return out;
    }
    // The newest open child window of one class.
    template <typename T>
    T* Newest() {
        T* newest = nullptr;
        for (TForm* f : MainForm->MDIChildren())
            if (auto* w = dynamic_cast<T*>(f)) newest = w;
        return newest;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(MainForm->Handle(), static_cast<Qt::Key>(key), modifiers);
    }

    std::unique_ptr<TApplication> app;
    ShellLaunchRecorder launches;
};

