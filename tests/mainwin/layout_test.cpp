// The window-layout file: written at shutdown, read back at start-up.
#include "mainwin/appfixture.h"
#include "support/layoutfile.h"
#include "windows/worldwin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
class Layout : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
    }
    std::string File() const { return DataFile("windowSettings.xml"); }
    std::vector<TWorldForm*> Worlds() {
        std::vector<TWorldForm*> out;
        for (TCurrencyWindow* w : MainForm->OpenWindows)
            if (auto* world = dynamic_cast<TWorldForm*>(w)) out.push_back(world);
        return out;
    }
    static std::string Closed(const std::vector<int>& v) {
        static const char* names[] = {"CROSSONE", "CROSSTWO", "CROSSTHREE", "CROSSFOUR", "CROSSX",  "CROSSY",
                                      "PREF",     "PREFX",    "PREFY",      "WORLDONE",  "WORLDTWO", "WORLDX",
                                      "WORLDY",   "RATESX",   "RATESY",     "RATESW",    "RATESH"};
        std::string s = "  <CLOSEDWINDOWS>\r\n";
        for (size_t i = 0; i < 17; ++i)
            s += std::string("    <") + names[i] + ">" + std::to_string(v[i]) + "</" + names[i] + ">\r\n";
        return s + "  </CLOSEDWINDOWS>\r\n\r\n";
    }
    const std::vector<int> initial{-1, -1, -1, -1, 0, 0, -1, 0, 0, -1, -1, 0, 0, 0, 0, -1, -1};
};
}  // namespace

TEST_F(Layout, WrittenLineByLineAndReadBack) {
    WriteAll(File(), LayoutFileText(Closed(initial) + LayoutMain(10, 20, 700, 500, 0)));
    Start();
    EXPECT_EQ(MainForm->Left(), 10);
    EXPECT_EQ(MainForm->Width(), 700);
    TWorldForm* a = MainForm->OpenWorldWindow(4, 10, "12.5");   // Euro -> U.S. Dollar
    TWorldForm* b = MainForm->OpenWorldWindow(0, 1, "<a&b> &lt;");
    a->SetBounds(30, 40, a->Width(), a->Height());
    b->SetBounds(50, 60, b->Width(), b->Height());
    std::string blocks;
    for (TCurrencyWindow* w : MainForm->OpenWindows)  // the file keeps the set's order
        blocks += w == a ? LayoutWorld("12.5", 4, 10, 30, 40) : LayoutWorld("&lt;a&amp;b&gt; &amp;lt;", 0, 1, 50, 60);
    MainForm->Close();
    EXPECT_EQ(ReadAll(File()), LayoutFileText(blocks + Closed(initial) + LayoutMain(10, 20, 700, 500, 0)));

    Restart();
    std::vector<TWorldForm*> worlds = Worlds();
    ASSERT_EQ(worlds.size(), 2u);
    bool sawA = false, sawB = false;
    for (TWorldForm* w : worlds) {
        if (w->Edit1->Text() == "12.5") {
            sawA = true;
            EXPECT_EQ(w->ComboBox1->Text(), "Euro");
            EXPECT_EQ(w->ComboBox2->Text(), "U.S. Dollar");
            EXPECT_EQ(w->TForm::Left(), 30);
            EXPECT_EQ(w->Top(), 40);
        } else {
            sawB = w->Edit1->Text() == "<a&b> &lt;";
        }
    }
    EXPECT_TRUE(sawA);
    EXPECT_TRUE(sawB);
}

TEST_F(Layout, ClosedWindowMemoriesAreLoadedAfterTheWindowsReopen) {
    std::vector<int> closed = initial;
    closed[9] = 2;    // WORLDONE
    closed[10] = 3;   // WORLDTWO
    closed[11] = 70;  // WORLDX
    closed[12] = 80;  // WORLDY
    WriteAll(File(), LayoutFileText(LayoutWorld("7", 1, 1, 5, 5) + Closed(closed) + LayoutMain(0, 0, 600, 400, 0)));
    Start();
    ASSERT_EQ(Worlds().size(), 1u);
    EXPECT_EQ(Worlds()[0]->Edit1->Text(), "7");
    EXPECT_EQ(WorldClosedState.LeftSet, 2);  // not used by the reopened window
    Key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(WorldClosedState.LeftSet, -1);  // the next new one took it
    MainForm->Close();
    EXPECT_NE(ReadAll(File()).find("<WORLDX>70</WORLDX>"), std::string::npos);
}

TEST_F(Layout, ABadNumberEndsTheReadSilently) {
    std::vector<int> closed = initial;
    closed[9] = 2;
    std::string bad = LayoutWorld("1", 0, 0, 5, 5);
    bad.replace(bad.find("<LEFTSET>0"), 10, "<LEFTSET>x");
    WriteAll(File(), LayoutFileText(bad + LayoutWorld("2", 0, 0, 5, 5) + Closed(closed) + LayoutMain(3, 4, 640, 480, 0)));
    Start();
    EXPECT_TRUE(MainForm->OpenWindows.empty());
    EXPECT_EQ(WorldClosedState.LeftSet, -1);  // not reached
    EXPECT_EQ(MainForm->Left(), 3);           // read before the bad number, and kept
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(Layout, AWindowWithoutStateOpensAndEndsTheRead) {
    std::string noState = LayoutWorld("1", 0, 0, 5, 5);
    noState.replace(noState.find("    <STATE>"), std::string("    <STATE>0</STATE>\r\n").size(), "");
    std::vector<int> closed = initial;
    closed[9] = 2;
    WriteAll(File(), LayoutFileText("  <WINDOW>\r\n    <TYPE>Chart</TYPE>\r\n    <LEFT>x</LEFT>\r\n  </WINDOW>\r\n" + noState +
                         LayoutWorld("2", 0, 0, 5, 5) + Closed(closed)));
    Start();
    EXPECT_EQ(MainForm->OpenWindows.size(), 1u);  // the unknown type is skipped whole
    EXPECT_EQ(WorldClosedState.LeftSet, -1);
}

TEST_F(Layout, HugeSizesAndPositionsAreClamped) {
    WriteAll(File(), LayoutFileText(LayoutMain(-99999, 5, 99999, 99999, 0)));
    Start();
    EXPECT_EQ(MainForm->Left(), -32767);
    EXPECT_LE(MainForm->Width(), DesktopWidth());
    EXPECT_LE(MainForm->Height(), DesktopHeight());
}

TEST_F(Layout, AMissingDataFolderIsReportedAndNothingWritten) {
    Start();
    MainForm->OpenWorldWindow(-1, -1, "0");
    QPointer<QWidget> window = (*MainForm->OpenWindows.begin())->Handle();
    fs::remove_all(folder.File("data"));
    MainForm->Close();
    std::vector<std::string> texts = dialogs.Texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Can't find directory: " + folder.File("data")), texts.end());
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_TRUE(window.isNull());  // still destroyed
    EXPECT_TRUE(MainForm->OpenWindows.empty());
}

TEST_F(Layout, ASourceSwitchClosesEveryWindowWithoutTouchingTheMemories) {
    Start();
    TWorldForm* w = MainForm->OpenWorldWindow(-1, -1, "0");
    w->Close();  // fills the memory
    QApplication::processEvents();
    MainForm->OpenWorldWindow(-1, -1, "0");
    MainForm->OpenWorldWindow(-1, -1, "0");
    WorldClosedState.LeftSet = 5;
    MainForm->CloseAllWindows();
    EXPECT_TRUE(MainForm->OpenWindows.empty());
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->MDIChildren().empty());
    EXPECT_EQ(WorldClosedState.LeftSet, 5);
}
