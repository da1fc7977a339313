// Menus of the main window as a user opens them on a real desktop.
#include "desktop/desktopfixture.h"

#include "currency/currsource.h"
#include "platform/comctrls.h"

#include <QAction>

using MainMenus = DesktopProgram;

TEST_F(MainMenus, HelpSubmenusOpenAndTheirLinksLaunch) {
    StartProgram();
    CurrSource* pacific = MainForm->Sources[0];
    TMenuItem* sub = ItemCaptioned(MainForm->Help1, pacific->GetName());
    ASSERT_NE(sub, nullptr);
    Script s;
    s.Then("open Help", [&] { ClickMenuBar(MainForm->Help1); })
        .When("Help shown", [&] { return MainForm->Help1->QtMenu()->isVisible(); }, [&] { ClickMenuItem(sub); })
        .When("the source's submenu shown", [&] { return sub->QtAction()->menu() && sub->QtMenu()->isVisible(); },
              [&] { ClickMenuItem(ItemCaptioned(sub, "&Website")); })
        .When("the web site launched", [&] { return !launches.Files().empty(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_EQ(launches.Files().back(), "http://" + pacific->GetWebsite());
}

TEST_F(MainMenus, TheToolbarComesBackThroughTheBackgroundMenu) {
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\nshowToolbar=0\r\n");
    StartProgram();
    ASSERT_FALSE(MainForm->ToolBar1->Visible());
    QMenu* popup = MainForm->BgPopup->QtMenu();
    TMenuItem* toolbar = ItemCaptioned(MainForm->BgPopup->Items(), "&Toolbar");
    ASSERT_NE(toolbar, nullptr);
    Script s;
    s.Then("right click on the background", [&] { x().Click(x().Centre(MainForm->ClientWidget()), 3); })
        .When("the background menu shown", [&] { return popup->isVisible(); }, [&] { ClickMenuItem(toolbar); })
        .When("the Toolbar submenu shown", [&] { return toolbar->QtAction()->menu() && toolbar->QtMenu()->isVisible(); },
              [&] { ClickMenuItem(ItemCaptioned(toolbar, "&Show Toolbar")); })
        .When("the toolbar shown", [&] { return MainForm->ToolBar1->Visible(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_TRUE(MainForm->AppSettings->showToolbar);
}
