// The main program on the virtual desktop: the forms made as the program
// makes them, in a temporary program folder with the shipped data files, real
// message boxes and dialogs, and the program shut down as the user does.
#pragma once

#include "currency/settings.h"
#include "desktop/layerfixture.h"
#include "mainwin/main.h"
#include "mainwin/startup.h"
#include "platform/menus.h"
#include "platform/shellapi.h"
#include "platform/sysutils.h"
#include "platform/wininet.h"
#include "support/layoutfile.h"
#include "support/fakebackends.h"
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

class DesktopProgram : public DesktopHands {
protected:
    void SetUp() override {
        CopyShippedData(folder.Path(), {"IMF.XML", "Pacific.XML", "IMF.INI", "Pacific.INI", "exportFilters.xml"});
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
        if (HasFailure()) x().ScreenshotOfFailure();
        Quit();
        SetOnlineStateOverride(-1);
    }
    // Starts as the program does: the forms, then the main window shown by the message loop.
    void StartProgram() {
        CreateApplicationForms();
        MainForm->Show();
        ASSERT_TRUE(WaitUntil([&] { return x().Viewable(MainWindow()) && MainForm->CurrentSource; }))
            << "window state " << x().WmState(MainWindow()) << " " << ::testing::PrintToString(x().States(MainWindow()));
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
    // Starts twice on a layout file holding `windows` and the main window in its
    // normal state at 100,80 sized 900x700, finds it there each time, and finds
    // the same written at the end.
    void ExpectMainWindowRoundTrip(const std::string& windows = "") {
        const std::string file = DataFile("windowSettings.xml");
        WriteAll(file, LayoutFileText(windows + LayoutMain(100, 80, 900, 700, 0)));
        for (int round = 0; round < 2; ++round) {
            if (round == 0) StartProgram();
            else Restart();
            const unsigned long main = MainWindow();
            ASSERT_TRUE(WaitUntil([&] { return x().FrameRect(main) == QRect(100, 80, 900, 700); }))
                << "round " << round << ": " << ::testing::PrintToString(x().FrameRect(main));
            EXPECT_FALSE(x().HasState(main, "MAXIMIZED_VERT") || x().HasState(main, "MAXIMIZED_HORZ"));
            EXPECT_EQ(MainForm->WindowState(), wsNormal);
        }
        Quit();
        const std::string written = ReadAll(file);
        EXPECT_EQ(LayoutNumber(written, "MAIN", "STATE"), 0);
        EXPECT_EQ(LayoutNumber(written, "MAIN", "LEFT"), 100);
        EXPECT_EQ(LayoutNumber(written, "MAIN", "TOP"), 80);
        EXPECT_EQ(LayoutNumber(written, "MAIN", "WIDTH"), 900);
        EXPECT_EQ(LayoutNumber(written, "MAIN", "HEIGHT"), 700);
    }
    void Ini(const std::string& text) { WriteAll(folder.File("tallyvane2.ini"), text); }
    std::string DataFile(const std::string& name) const { return folder.File("data/" + name); }
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

    // The first open currency window of one class once it is on screen; null
    // when none shows within the wait.
    template <typename T>
    T* Shown() {
        T* found = nullptr;
        WaitUntil([&] {
            found = nullptr;
            for (TCurrencyWindow* w : MainForm->OpenWindows)
                if ((found = dynamic_cast<T*>(w))) break;
            return found && found->Handle()->isVisible();
        });
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
    static TMenuItem* ItemCaptioned(TMenuItem* menu, const std::string& caption) {
        for (int i = 0; i < menu->Count(); ++i)
            if (menu->Items(i)->Caption() == caption) return menu->Items(i);
        return nullptr;
    }

    TempFolder folder;
    std::unique_ptr<TApplication> app;
    ShellLaunchRecorder launches;
};
