// The window layout on a display without a window manager: what the file
// says is what the windows show and what the next exit writes.
#include "desktop/desktopfixture.h"

using NoWindowManager = DesktopProgram;

TEST_F(NoWindowManager, TheMainWindowsStateAndBoundsRoundTrip) {
    ExpectMainWindowRoundTrip(LayoutWorld("1", 0, 1, 30, 20));
    const std::string written = ReadAll(DataFile("windowSettings.xml"));
    EXPECT_EQ(LayoutNumber(written, "WINDOW", "LEFT"), 30);
    EXPECT_EQ(LayoutNumber(written, "WINDOW", "TOP"), 20);
    EXPECT_EQ(LayoutNumber(written, "WINDOW", "STATE"), 0);
}
