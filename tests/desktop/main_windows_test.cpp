// The child windows as a user works them with the mouse on a real desktop.
#include "desktop/desktopfixture.h"

#include "windows/rateswin.h"

#include <QTreeWidget>

namespace {
class ChildWindows : public DesktopProgram {
protected:
    TRatesForm* OpenRates() {
        x().Key("ctrl+r");
        WaitUntil([&] { return MainForm->RatesWindow && MainForm->RatesWindow->Handle()->isVisible(); });
        return MainForm->RatesWindow;
    }
    static QTreeWidget* Tree(TListView* view) { return static_cast<QTreeWidget*>(view->Handle()); }
    static QPoint RowCentre(TListView* view, int row) {
        QTreeWidget* tree = Tree(view);
        return x().RootPos(tree->viewport(), tree->visualItemRect(tree->topLevelItem(row)).center());
    }
};
}  // namespace

TEST_F(ChildWindows, ADoubleClickInTheRatesListsLeavesNoNeighbourChosen) {
    StartProgram();
    TRatesForm* rates = OpenRates();
    ASSERT_NE(rates, nullptr);
    TListView* left = rates->ListView2;
    ASSERT_GT(left->Count(), 3);
    const std::string name = left->Item(1)->Caption();
    const int rightBefore = rates->ListView1->Count();
    x().DoubleClick(RowCentre(left, 1));
    ASSERT_TRUE(WaitUntil([&] { return rates->ListView1->Count() == rightBefore + 1; }));
    EXPECT_EQ(left->FindCaption(name), nullptr);
    EXPECT_NE(rates->ListView1->FindCaption(name), nullptr);
    // The row that slid into its place is not chosen, so nothing acts on it.
    EXPECT_TRUE(WaitUntil([&] { return left->SelCount() == 0; }, 1000)) << left->Selected()->Caption();
    EXPECT_FALSE(rates->ToPrefButton->Enabled());

    // The same from the right list back to the left.
    const int leftBefore = left->Count();
    TListItem* moved = rates->ListView1->FindCaption(name);
    x().DoubleClick(RowCentre(rates->ListView1, moved->Index()));
    ASSERT_TRUE(WaitUntil([&] { return left->Count() == leftBefore + 1; }));
    EXPECT_TRUE(WaitUntil([&] { return rates->ListView1->SelCount() == 0; }, 1000));
    EXPECT_FALSE(rates->FromPrefButton->Enabled());
}
