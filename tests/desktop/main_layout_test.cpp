// The window layout file under a window manager: states and geometry of the
// main window and its children survive exit and start.
#include "desktop/desktopfixture.h"
#include "support/layoutfile.h"

#include "windows/preferredwin.h"
#include "windows/rateswin.h"
#include "windows/worldwin.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>


namespace {
class LayoutFile : public DesktopProgram {
protected:
    std::string File() const { return DataFile("windowSettings.xml"); }
    bool Maximised(unsigned long w) { return x().HasState(w, "MAXIMIZED_VERT") && x().HasState(w, "MAXIMIZED_HORZ"); }
};
}  // namespace

TEST_F(LayoutFile, TheMainWindowsNormalPlaceAndSizeRoundTrip) { ExpectMainWindowRoundTrip(); }

TEST_F(LayoutFile, AMinimisedMainWindowStartsMinimisedAndComesBackAsItWas) {
    // Maximised, then minimised at the last exit.
    WriteAll(File(), LayoutFileText(LayoutMain(0, 0, 1280, 1024, 1)));
    CreateApplicationForms();
    MainForm->Show();
    ASSERT_TRUE(WaitUntil([&] {
        return MainForm->CurrentSource && x().WmState(MainWindow()) == 3 && MainForm->WindowState() == wsMinimized;
    })) << "wm state " << x().WmState(MainWindow());
    EXPECT_FALSE(x().Viewable(MainWindow()));
    Quit();
    EXPECT_EQ(LayoutNumber(ReadAll(File()), "MAIN", "STATE"), 1);

    // Brought up from the task bar, it stays up, as it was before it was minimised.
    app = std::make_unique<TApplication>();
    ResetClosedStates();
    CreateApplicationForms();
    MainForm->Show();
    ASSERT_TRUE(WaitUntil([&] { return MainForm->CurrentSource && x().WmState(MainWindow()) == 3; }));
    x().RequestActivate(MainWindow());
    ASSERT_TRUE(WaitUntil([&] { return x().Viewable(MainWindow()) && MainForm->WindowState() == wsMaximized; }))
        << MainForm->WindowState();
    EXPECT_TRUE(WaitUntil([&] { return Active(MainForm->Handle()); }));
    EXPECT_EQ(x().WmState(MainWindow()), 1);
    EXPECT_TRUE(Maximised(MainWindow()));
    // (The window manager may draw it growing out of its icon first.)
    EXPECT_TRUE(WaitUntil([&] { return x().FrameRect(MainWindow()) == QRect(0, 0, 1280, 1024); }))
        << ::testing::PrintToString(x().FrameRect(MainWindow()));
    Quit();
    EXPECT_EQ(LayoutNumber(ReadAll(File()), "MAIN", "STATE"), 2);
}

TEST_F(LayoutFile, AMaximisedMainWindowStaysMaximised) {
    WriteAll(File(), LayoutFileText(LayoutMain(100, 80, 900, 700, 2)));
    for (int round = 0; round < 2; ++round) {
        if (round == 0) StartProgram();
        else Restart();
        EXPECT_TRUE(WaitUntil([&] { return Maximised(MainWindow()) && MainForm->WindowState() == wsMaximized; }))
            << "round " << round;
    }
    Quit();
    EXPECT_EQ(LayoutNumber(ReadAll(File()), "MAIN", "STATE"), 2);
}

TEST_F(LayoutFile, AMaximisedChildReopensMaximisedAndNewChildrenFillTheWorkspaceOrStayNormal) {
    WriteAll(File(), LayoutFileText(LayoutWorld("1", 0, 1, 10, 10, 2) + LayoutMain(0, 0, 1000, 800, 0)));
    StartProgram();
    TWorldForm* world = Shown<TWorldForm>();
    ASSERT_NE(world, nullptr);
    auto* area = static_cast<QMdiArea*>(MainForm->ClientWidget());
    QMdiSubWindow* sub = area->subWindowList().front();
    // Reopened before the main window showed, it still shows its title.
    EXPECT_NE(sub->windowTitle().toStdString().find(" -> "), std::string::npos) << sub->windowTitle().toStdString();
    ASSERT_TRUE(WaitUntil([&] { return world->WindowState() == wsMaximized && sub->size() == area->viewport()->size(); }))
        << sub->width() << "x" << sub->height() << " in " << area->viewport()->width() << "x" << area->viewport()->height();
    // A child opened now is normal, above it (a maximised one would fill the
    // workspace exactly); never shifted, never with scroll bars.
    auto fits = [&](TForm* child) {
        QMdiSubWindow* frame = nullptr;
        for (QMdiSubWindow* s : area->subWindowList())
            if (s->widget() == child->Handle()) frame = s;
        if (!frame || !frame->isVisible()) return false;
        const bool maximised = frame->isMaximized() && frame->geometry() == area->viewport()->rect();
        const bool normal = !frame->isMaximized() && child->WindowState() == wsNormal;
        return (maximised || normal) && child->Handle()->geometry() == frame->contentsRect() &&
               !area->horizontalScrollBar()->isVisible() && !area->verticalScrollBar()->isVisible();
    };
    for (const char* key : {"ctrl+p", "ctrl+s", "ctrl+w", "ctrl+t"}) {
        if (std::string(key) == "ctrl+t") {  // once more, with a child the user maximised
            x().Key("ctrl+r");
            TRatesForm* rates = nullptr;
            ASSERT_TRUE(WaitUntil([&] { return (rates = MainForm->RatesWindow) && rates->Handle()->isVisible(); }));
            rates->SetWindowState(wsNormal);
            ASSERT_TRUE(WaitUntil([&] { return rates->WindowState() == wsNormal; }));
            QWidget* frame = rates->Handle()->parentWidget();
            x().DoubleClick(x().RootPos(frame, QPoint(frame->width() / 2, 8)));  // its title bar
            ASSERT_TRUE(WaitUntil([&] { return rates->WindowState() == wsMaximized; }));
            key = "ctrl+w";
        }
        const std::vector<TForm*> before = MainForm->MDIChildren();
        x().Key(key);
        ASSERT_TRUE(WaitUntil([&] { return MainForm->MDIChildren().size() == before.size() + 1; })) << key;
        TForm* child = MainForm->MDIChildren().back();
        EXPECT_TRUE(WaitUntil([&] { return fits(child); })) << key << ": " << child->Caption();
        if (std::string(key) == "ctrl+s") {
            EXPECT_EQ(child->WindowState(), wsNormal);  // it has no maximise box
        }
    }
    Quit();
    // The one child still maximised (the rates window took the state over) is written so.
    const std::string written = ReadAll(File());
    const size_t first = written.find("<STATE>2</STATE>");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(first, written.rfind("<STATE>2</STATE>"));
}

TEST_F(LayoutFile, OneChildIsActiveAfterTheLayoutIsRestoredAndTakesTheKeys) {
    auto element = [](const std::string& type, const std::string& middle, int x, int y, int state) {
        return "  <WINDOW>\r\n    <TYPE>" + type + "</TYPE>\r\n" + middle + LayoutElement("LEFT", x) +
               LayoutElement("TOP", y) + LayoutElement("WIDTH", -1) + LayoutElement("HEIGHT", -1) +
               LayoutElement("STATE", state) + "  </WINDOW>\r\n\r\n";
    };
    const std::string cross = element("Cross", "    <VALUE>1</VALUE>\r\n" + LayoutElement("ONE", 0) + LayoutElement("TWO", 1) +
                                                    LayoutElement("THREE", 2) + LayoutElement("FOUR", 3), 40, 40, 0);
    for (int minimised : {1, 31}) {
        std::string windows = LayoutWorld("5", 0, 1, 10, 10) + cross;
        for (int i = 0; i < minimised; ++i) windows += LayoutWorld("7", 1, 0, 20, 20, 1);
        WriteAll(File(), LayoutFileText(windows + LayoutMain(0, 0, 1000, 800, 0)));
        StartProgram();
        auto* area = static_cast<QMdiArea*>(MainForm->ClientWidget());
        auto drawnActive = [&] {
            int n = 0;
            for (QMdiSubWindow* sub : area->subWindowList())
                if (sub->windowState() & Qt::WindowActive) ++n;
            return n;
        };
        ASSERT_TRUE(WaitUntil([&] { return area->subWindowList().size() == 2 + minimised; }));
        ASSERT_TRUE(WaitUntil([&] { return Active(MainForm->Handle()) && area->activeSubWindow(); }));
        QMdiSubWindow* active = area->activeSubWindow();
        EXPECT_EQ(drawnActive(), 1) << minimised << " minimised";
        EXPECT_TRUE(active->windowState() & Qt::WindowActive);
        EXPECT_FALSE(active->isMinimized()) << "the keys would go to no window in sight";
        // The Window menu ticks it, and typing reaches it.
        EXPECT_EQ(MainForm->ActiveMDIChild()->Handle(), active->widget());
        EXPECT_TRUE(WaitUntil([&] {
            return QApplication::focusWidget() && active->widget()->isAncestorOf(QApplication::focusWidget());
        }));
        Quit();
        app = std::make_unique<TApplication>();
        ResetClosedStates();
    }
}
