// The real tray program on a desktop with a notification area: its icon
// acts when a button is released over it, and Exit ends it whatever it shows.
#include "desktop/xdesktop.h"
#include "platform/forms.h"
#include "platform/winapi.h"
#include "support/layoutfile.h"
#include "support/testenv.h"

#include <QIcon>
#include <QMenu>
#include <QPixmap>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Ctrl+Alt+K as the tray program stores its hot key.
constexpr int HotKeyValue = 0x4000 | 0x8000 | 'K';

class TrayProgram : public ::testing::Test {
public:
    void SetUp() override {
        CopyShippedData(folder.Path());
        const InstalledProgram installed = InstallProgram(TV_POCKETVANE_PROGRAM, folder.Path());
        program = installed.program;
        runtime = installed.runtime;
    }
    void TearDown() override {
        if (HasFailure()) x().ScreenshotOfFailure();
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    static XDesktop& x() { return XDesktop::Get(); }

    // Starts the program and waits for its icon in the notification area.
    bool Start(const std::string& extraVariable = "") {
        WriteAll(folder.File("pocketvane.ini"),
                 "[PocketvaneProgram]\r\nHotKey=" + std::to_string(HotKeyValue) + "\r\n");
        pid = StartProgram(program, "xcb", runtime, extraVariable);
        scale = extraVariable == "QT_SCALE_FACTOR=2" ? 2 : 1;
        if (pid == 0) return false;
        // Until the notification area has taken the icon in and stopped moving it.
        QRect last;
        int still = 0;
        return WaitUntil(
            [&] {
                const unsigned long icon = Icon();
                const QRect at = icon ? x().ClientRect(icon) : QRect();
                still = icon && at == last ? still + 1 : 0;
                last = at;
                return still >= 5;
            },
            10000);
    }
    // The icon's window, embedded in the notification area.
    unsigned long Icon() const {
        for (unsigned long w : x().ViewableNamed("Pocketvane"))
            if (x().ClientRect(w).width() <= 64 && x().FrameOf(w) != w) return w;
        return 0;
    }
    QPoint IconCentre() const { return x().ClientRect(Icon()).center(); }
    // A managed window of the program with this title, or 0.
    unsigned long Window(const std::function<bool(const std::string&)>& titled) const {
        for (unsigned long w : x().WindowsOf(pid, false))
            if (titled(x().Title(w))) return w;
        return 0;
    }
    // The tray menu's window: a popup of the program taller than a tooltip.
    unsigned long MenuWindow() const {
        const std::vector<unsigned long> managed = x().WindowsOf(pid, false);
        for (unsigned long w : x().WindowsOf(pid, true))
            if (std::find(managed.begin(), managed.end(), w) == managed.end() && x().ClientRect(w).height() > 100)
                return w;
        return 0;
    }
    bool Menu() const { return MenuWindow() != 0; }
    bool Ended(int ms) {
        return WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, ms) && (pid = 0, true);
    }
    bool LockHeld() const { return LockHeldIn(runtime, "Pocketvane"); }
    // The tray menu's item `index` (as the program lists them, separators
    // included), chosen with the mouse after a right click on the icon.
    void Choose(int index) {
        x().Click(IconCentre(), 3);
        // Where the menu settled: its first show may move it once it knows its size.
        QRect menu, last;
        ASSERT_TRUE(WaitUntil([&] {
            last = menu;
            menu = Menu() ? x().ClientRect(MenuWindow()) : QRect();
            return menu.isValid() && menu == last;
        })) << "no menu";
        x().Click(menu.left() + menu.width() / 2, menu.top() + ItemY(index) * scale);
        ASSERT_TRUE(WaitUntil([&] { return !Menu(); })) << "the menu stayed open";
    }
    // Where an item of the tray menu lies: the same menu laid out here, with
    // the toolkit, style and font the program uses.
    static int ItemY(int index) {
        EnsureToolkit();
        QMenu menu;
        QPixmap picture(16, 16);
        picture.fill(Qt::gray);
        for (const char* caption : {"H&elp", "&About", "&Launch Tallyvane", "&Config", "-", "&Hide", "&Show", "-", "E&xit"})
            if (std::string(caption) == "-") menu.addSeparator();
            else menu.addAction(QIcon(picture), caption);
        return menu.actionGeometry(menu.actions().at(index)).center().y();
    }
    void ChooseExit() { Choose(8); }

    TempFolder folder;
    std::string program, runtime;
    pid_t pid = 0;
    int status = 0;
    int scale = 1;  // of the program's pixels to the screen's
};

bool IsConverter(const std::string& title) { return title == "Pocketvane" || title.find(" -> ") != std::string::npos; }
}  // namespace

TEST_F(TrayProgram, ButtonsActWhenReleasedOverTheIcon) {
    ASSERT_TRUE(Start());
    const QPoint icon = IconCentre();
    x().MoveTo(icon);
    x().Press(3);
    // Held down: no menu yet (the program had the press: a key press after it arrives).
    EXPECT_FALSE(WaitUntil([&] { return Menu(); }, 300));
    x().Release(3);
    ASSERT_TRUE(WaitUntil([&] { return Menu(); })) << "the menu did not open on the release";
    x().Key("Escape");
    ASSERT_TRUE(WaitUntil([&] { return !Menu(); }));

    x().MoveTo(icon);
    x().Press(1);
    EXPECT_FALSE(WaitUntil([&] { return Window(IsConverter) != 0; }, 300));
    x().Release(1);
    EXPECT_TRUE(WaitUntil([&] { return Window(IsConverter) != 0; })) << "the converter did not show on the release";
    x().Click(icon);  // and hides again
    EXPECT_TRUE(WaitUntil([&] { return Window(IsConverter) == 0; }));
    ChooseExit();
    EXPECT_TRUE(Ended(5000));
}

TEST_F(TrayProgram, ButtonsActOnAScaledDesktopToo) {
    ASSERT_TRUE(Start("QT_SCALE_FACTOR=2"));
    x().Click(IconCentre(), 3);
    ASSERT_TRUE(WaitUntil([&] { return Menu(); })) << "no menu";
    x().Key("Escape");
    ASSERT_TRUE(WaitUntil([&] { return !Menu(); }));
    x().Click(IconCentre());
    EXPECT_TRUE(WaitUntil([&] { return Window(IsConverter) != 0; }));
    ChooseExit();
    EXPECT_TRUE(Ended(5000));
}

TEST_F(TrayProgram, ExitEndsTheProgramWhateverItShowsAndFreesTheLock) {
    struct Case {
        const char* name;
        std::function<void(TrayProgram&)> show;
        std::function<bool(const std::string&)> shown;
    };
    const Case cases[] = {
        {"converter by the hot key",
         [](TrayProgram&) {
             ASSERT_TRUE(WaitUntil([] { return x().KeyGrabbed("ctrl+alt+k"); }));
             x().Key("ctrl+alt+k");
         },
         IsConverter},
        {"converter by a click", [](TrayProgram& t) { x().Click(t.IconCentre()); }, IsConverter},
        {"about box", [](TrayProgram& t) { t.Choose(1); },
         [](const std::string& title) { return title == "About"; }},
        {"hot-key dialog", [](TrayProgram& t) { t.Choose(3); },
         [](const std::string& title) { return title == "HotKey Config"; }},
    };
    const int rounds = 5;
    for (const Case& c : cases) {
        for (int round = 0; round < rounds; ++round) {
            SCOPED_TRACE(std::string(c.name) + ", round " + std::to_string(round));
            ASSERT_TRUE(Start());
            c.show(*this);
            ASSERT_TRUE(WaitUntil([&] { return Window(c.shown) != 0; })) << "not shown";
            ChooseExit();
            // (Ending takes a few hundred milliseconds under the sanitizers;
            // a loaded machine may take longer.)
            ASSERT_TRUE(Ended(5000)) << "still running five seconds after Exit";
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
            EXPECT_FALSE(LockHeld());
            EXPECT_TRUE(WaitUntil([&] { return Icon() == 0; }));
        }
    }
}

TEST_F(TrayProgram, TheAboutBoxOpensWithItsOkFocused) {
    ASSERT_TRUE(Start());
    Choose(1);
    auto about = [&] { return Window([](const std::string& t) { return t == "About"; }); };
    ASSERT_TRUE(WaitUntil([&] { return about() != 0 && x().ActiveWindow() == about(); }));
    x().Key("Return");
    EXPECT_TRUE(WaitUntil([&] { return about() == 0; })) << "Enter did not press OK";
    ChooseExit();
    EXPECT_TRUE(Ended(5000));
}

// The main program ends through File > Exit once a window has been undocked
// (which hides the main window) and docked again.
TEST_F(TrayProgram, TheMainProgramEndsThroughExitAfterAWindowWasUndocked) {
    const std::string main = InstallProgram(TV_TALLYVANE_PROGRAM, folder.Path()).program;
    WriteAll(folder.File("tallyvane2.ini"), "[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    // A World window from the layout file, the active child at start.
    WriteAll(folder.File("data/windowSettings.xml"), LayoutFileText(LayoutWorld("1", 0, 1, 10, 10)));
    pid = StartProgram(main, "xcb", runtime);
    ASSERT_NE(pid, 0);
    auto titled = [&](const std::string& title) { return Window([&](const std::string& t) { return t == title; }); };
    ASSERT_TRUE(WaitUntil([&] { return titled("Tallyvane 2") != 0 && x().ActiveWindow() == titled("Tallyvane 2"); }, 10000));
    auto undocked = [&] {
        for (unsigned long w : x().WindowsOf(pid, false))
            if (x().Title(w).find(" -> ") != std::string::npos) return w;
        return 0ul;
    };
    x().Key("alt+d");  // the World window's "Un&dock": it stands alone, the main window goes
    ASSERT_TRUE(WaitUntil([&] { return undocked() != 0 && titled("Tallyvane 2") == 0; }))
        << "the World window did not undock";
    ASSERT_TRUE(WaitUntil([&] { return x().ActiveWindow() == undocked(); }));
    x().Key("alt+d");  // "&Dock"
    ASSERT_TRUE(WaitUntil([&] { return titled("Tallyvane 2") != 0 && x().ActiveWindow() == titled("Tallyvane 2"); }));
    x().Key("alt+f");
    x().Key("x");
    ASSERT_TRUE(Ended(5000)) << "still running after File > Exit";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(ReadAll(folder.File("data/windowSettings.xml")).find("<TYPE>World</TYPE>"), std::string::npos);
}
