// What the main window and its children look like on screen.
#include "desktop/desktopfixture.h"

#include "platform/comctrls.h"
#include "windows/worldwin.h"

#include <QPalette>
#include <QStatusBar>

namespace {
unsigned Rgb(const QColor& c) { return static_cast<unsigned>(c.rgb()) & 0xFFFFFF; }
}  // namespace

using MainLook = DesktopProgram;

TEST_F(MainLook, TheWorkspaceColourIsTheClientAreasAloneAndChildrenLookTheSameDockedOrNot) {
    StartProgram();
    const unsigned window = Rgb(QApplication::palette().color(QPalette::Window));
    const unsigned workspace = Rgb(QApplication::palette().color(QPalette::Dark));
    ASSERT_NE(window, workspace);
    QWidget* area = MainForm->ClientWidget();
    ASSERT_TRUE(WaitUntil([&] { return x().Pixel(x().Centre(area).x(), x().Centre(area).y()) == workspace; }));
    // The status bar is a bar of the window's colour, away from its text.
    QStatusBar* status = MainForm->StatusBar->QtStatusBar();
    QPoint bar = x().RootPos(status, QPoint(status->width() * 3 / 4, status->height() / 2));
    EXPECT_EQ(x().Pixel(bar.x(), bar.y()), window);

    x().Key("ctrl+w");
    TWorldForm* world = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (TCurrencyWindow* w : MainForm->OpenWindows)
            if ((world = dynamic_cast<TWorldForm*>(w))) break;
        return world && world->Handle()->isVisible();
    }));
    // A point of the window's own background, below its buttons.
    QWidget* content = world->Handle();
    auto background = [&] {
        QPoint p = x().RootPos(content, QPoint(3, content->height() - 3));
        return x().Pixel(p.x(), p.y());
    };
    ASSERT_TRUE(WaitUntil([&] { return background() == window; })) << std::hex << background();
    x().Click(x().Centre(world->UndockButton->Handle()));
    ASSERT_TRUE(WaitUntil([&] { return world->FormStyle() != fsMDIChild && x().Viewable(x().WindowOf(content)); }));
    EXPECT_TRUE(WaitUntil([&] { return background() == window; })) << std::hex << background();
}
