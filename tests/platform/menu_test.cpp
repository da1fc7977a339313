// Menu items as the toolkit shows them.
#include "platform/formkit.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

TEST(Menus, ASeparatorIsALineWithoutText) {
    EnsureToolkit();
    TPopupMenu menu(nullptr);
    auto* item = new TMenuItem(&menu, "&Open");
    auto* line = new TMenuItem(&menu, "-");
    menu.Add(item);
    menu.Add(line);
    EXPECT_TRUE(line->QtAction()->isSeparator());
    EXPECT_TRUE(line->QtAction()->text().isEmpty());
    EXPECT_EQ(item->QtAction()->text(), "&Open");
    line->SetCaption("&Close");  // and back to an item
    EXPECT_FALSE(line->QtAction()->isSeparator());
    EXPECT_EQ(line->QtAction()->text(), "&Close");
}
