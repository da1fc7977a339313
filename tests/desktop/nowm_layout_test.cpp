// The window layout on a display without a window manager: what the file
// says is what the windows show and what the next exit writes.
#include "desktop/desktopfixture.h"
#include "desktop/layoutfile.h"

using NoWindowManager = DesktopProgram;

TEST_F(NoWindowManager, TheMainWindowsStateAndBoundsRoundTrip) {
    const std::string file = DataFile("windowSettings.xml");
    WriteAll(file, LayoutFileText(LayoutWorld(30, 20, 0) + LayoutMain(100, 80, 900, 700, 0)));
    for (int round = 0; round < 2; ++round) {
        if (round == 0) StartProgram();
        else Restart();
        ASSERT_TRUE(WaitUntil([&] { return x().FrameRect(MainWindow()) == QRect(100, 80, 900, 700); }))
            << "round " << round << ": " << x().FrameRect(MainWindow()).width() << "x"
            << x().FrameRect(MainWindow()).height();
        EXPECT_EQ(MainForm->WindowState(), wsNormal);
    }
    Quit();
    const std::string written = ReadAll(file);
    EXPECT_EQ(LayoutNumber(written, "MAIN", "STATE"), 0);
    EXPECT_EQ(LayoutNumber(written, "MAIN", "LEFT"), 100);
    EXPECT_EQ(LayoutNumber(written, "MAIN", "TOP"), 80);
    EXPECT_EQ(LayoutNumber(written, "MAIN", "WIDTH"), 900);
    EXPECT_EQ(LayoutNumber(written, "MAIN", "HEIGHT"), 700);
    EXPECT_EQ(LayoutNumber(written, "WINDOW", "LEFT"), 30);
    EXPECT_EQ(LayoutNumber(written, "WINDOW", "TOP"), 20);
    EXPECT_EQ(LayoutNumber(written, "WINDOW", "STATE"), 0);
}
