// What the main window and its children look like on screen.
#include "desktop/desktopfixture.h"

#include "platform/comctrls.h"
#include "windows/worldwin.h"

#include <QPalette>
#include <QStatusBar>
#include <QToolButton>

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
    TWorldForm* world = Shown<TWorldForm>();
    ASSERT_NE(world, nullptr);
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

TEST_F(MainLook, TheUpdateButtonComesUpWhenAnUpdateFromItsDropDownEnds) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n[Internet]\r\nuseInternet=1\r\n");
    StartProgram();
    auto* button = static_cast<QToolButton*>(MainForm->UpdateButton->Handle());
    QMenu* menu = MainForm->UpdatePopup->QtMenu();
    Script s;
    // The arrow at the button's right edge opens the drop-down.
    s.Then("open the drop-down", [&] { x().Click(x().RootPos(button, QPoint(button->width() - 5, button->height() / 2))); })
        .When("the drop-down shown", [&] { return menu->isVisible(); },
              [&] { ClickMenuItem(MainForm->OpenFile1); })
        .When("the file dialog", [&] { return QApplication::activeModalWidget() && Active(QApplication::activeModalWidget()); },
              [&] { x().Key("Escape"); })
        .When("the update over", [&] { return !QApplication::activeModalWidget() && !MainForm->UpdateButton->Down(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_FALSE(MainForm->AppSettings->useInternet);
    // Up in every sense the button knows, and drawn like its neighbour.
    EXPECT_TRUE(WaitUntil([&] { return !button->isDown() && !button->isChecked(); }, 1000));
    auto corner = [&](QWidget* b) {
        QPoint p = x().RootPos(b, QPoint(3, 3));
        return x().Pixel(p.x(), p.y());
    };
    x().MoveTo(0, 500);  // no button under the pointer
    EXPECT_TRUE(WaitUntil([&] { return corner(button) == corner(MainForm->PreferredButton->Handle()); }, 1000))
        << std::hex << corner(button) << " " << corner(MainForm->PreferredButton->Handle()) << " under " << button->underMouse() << " focus " << button->hasFocus() << " down " << button->isDown() << " checkable " << button->isCheckable();
}
