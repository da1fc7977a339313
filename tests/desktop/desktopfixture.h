// The main program on the virtual desktop: the forms made as the program
// makes them, in a temporary program folder with the shipped data files, real
// message boxes and dialogs, and the program shut down as the user does.
#pragma once

#include "currency/settings.h"
#include "desktop/xdesktop.h"
#include "mainwin/main.h"
#include "mainwin/startup.h"
#include "platform/menus.h"
#include "platform/shellapi.h"
#include "platform/sysutils.h"
#include "platform/wininet.h"
#include "support/testenv.h"
#include "windows/currencywindow.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

class DesktopProgram : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(folder.File("data"));
        for (const char* name : {"IMF.XML", "Pacific.XML", "IMF.INI", "Pacific.INI", "exportFilters.xml"})
            WriteAll(DataFile(name), ReadAll(std::string(TV_SOURCE_DIR) + "/data/" + name));
        SetProgramFolder(folder.Path());
        SetSystemDecimalSeparator('.');
        SetSystemThousandSeparator(',');
        SetOnlineStateOverride(0);
        ResetClosedStates();
        // The first start's about box and the splash only where a test asks for them.
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        EnsureToolkit();
        app = std::make_unique<TApplication>();
    }
    void TearDown() override {
        if (HasFailure()) {
            // What the screen showed, for looking at the failure.
            const std::string shot = (std::filesystem::temp_directory_path() /
                                      (std::string("tallyvane-") +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png"))
                                         .string();
            x().Screenshot(shot);
            std::printf("Screen at the failure: %s\n", shot.c_str());
        }
        Quit();
        SetOnlineStateOverride(-1);
    }
    // Starts as the program does: the forms, then the main window shown by the message loop.
    void StartProgram() {
        CreateApplicationForms();
        MainForm->Show();
        ASSERT_TRUE(WaitUntil([&] { return x().Viewable(MainWindow()) && MainForm->CurrentSource; }))
            << "wmstate " << x().WmState(MainWindow()) << " states " << ::testing::PrintToString(x().States(MainWindow()))
            << " qt visible " << MainForm->Handle()->isVisible() << " win " << MainWindow() << " frame "
            << x().FrameOf(MainWindow()) << " frame viewable " << x().Viewable(x().FrameOf(MainWindow()));
        if (XDesktop::HasWindowManager()) {
            ASSERT_TRUE(WaitUntil([&] { return x().ActiveWindow() == MainWindow(); }));
        }
    }
    // Ends the program as File > Exit does and frees its forms.
    void Quit() {
        if (MainForm && MainForm->CurrentSource) MainForm->Close();
        app.reset();
        QApplication::processEvents();
        try {
            Settings::Release();
        } catch (...) {
        }
    }
    void Restart() {
        Quit();
        ResetClosedStates();
        app = std::make_unique<TApplication>();
        StartProgram();
    }
    void Ini(const std::string& text) { WriteAll(folder.File("tallyvane2.ini"), text); }
    std::string DataFile(const std::string& name) const { return folder.File("data/" + name); }
    static XDesktop& x() { return XDesktop::Get(); }
    unsigned long MainWindow() const { return x().WindowOf(MainForm->Handle()); }
    // Waits for a managed window with this title; 0 when none came.
    unsigned long WaitForWindow(const std::string& title, int ms = 5000) {
        unsigned long found = 0;
        WaitUntil(
            [&] {
                for (unsigned long w : x().WindowsTitled(title))
                    if (x().Viewable(w)) found = w;
                return found != 0;
            },
            ms);
        return found;
    }

    // Opens a menu of the menu bar with a click on its title.
    void ClickMenuBar(TMenuItem* menu) {
        QMenuBar* bar = MainForm->MainMenu1->MenuBar();
        x().Click(x().RootPos(bar, bar->actionGeometry(menu->QtAction()).center()));
    }
    // Clicks an item of an open menu.
    void ClickMenuItem(TMenuItem* item) {
        QMenu* menu = item->Parent()->QtMenu();
        QPoint p = x().RootPos(menu, menu->actionGeometry(item->QtAction()).center());
        x().MoveTo(p.x(), p.y());
        x().Click(p.x(), p.y());
    }
    // True when the window manager has made this widget's window the active one.
    // Active for the window manager and for the toolkit alike.
    static bool Active(QWidget* w) {
        return w && x().ActiveWindow() == x().WindowOf(w) && QApplication::activeWindow() == w->window();
    }
    // Clicks into a control and waits until it has the keyboard.
    // (A second click at the same spot soon after would be a double click:
    // `at` picks another spot in the control.)
    static bool ClickInto(TControl* control, QPoint at = QPoint(-1, -1)) {
        x().Click(at.x() < 0 ? x().Centre(control->Handle()) : x().RootPos(control->Handle(), at));
        return WaitUntil([&] { return control->Focused() && Active(control->Handle()); });
    }
    static TMenuItem* ItemCaptioned(TMenuItem* menu, const std::string& caption) {
        for (int i = 0; i < menu->Count(); ++i)
            if (menu->Items(i)->Caption() == caption) return menu->Items(i);
        return nullptr;
    }

    TempFolder folder;
    std::unique_ptr<TApplication> app;
    ShellLaunchRecorder launches;
};
