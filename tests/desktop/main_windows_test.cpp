// The child windows as a user works them with the mouse on a real desktop.
#include "desktop/desktopfixture.h"

#include "currency/currsource.h"
#include "windows/crosswin.h"
#include "windows/rateswin.h"
#include "windows/worldwin.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTreeView>

#include <vector>

namespace {
class ChildWindows : public DesktopProgram {
protected:
    TRatesForm* OpenRates() {
        x().Key("ctrl+r");
        WaitUntil([&] { return MainForm->RatesWindow && MainForm->RatesWindow->Handle()->isVisible(); });
        return MainForm->RatesWindow;
    }
    static QPoint RowCentre(TListView* view, int row) {
        auto* tree = static_cast<QTreeView*>(view->Handle());
        return x().RootPos(tree->viewport(), tree->visualRect(tree->model()->index(row, 0)).center());
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

TEST_F(ChildWindows, NewChildrenCascadeInsideTheClientAreaAndComeBackWhereTheyWereWhenDocked) {
    StartProgram();
    auto* area = static_cast<QMdiArea*>(MainForm->ClientWidget());
    std::vector<TWorldForm*> worlds;
    for (int i = 0; i < 3; ++i) {
        x().Key("ctrl+w");
        ASSERT_TRUE(WaitUntil([&] { return MainForm->OpenWindows.size() == static_cast<size_t>(i + 1); }));
    }
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
        EXPECT_TRUE(area->viewport()->rect().contains(sub->geometry())) << sub->x() << "," << sub->y();
        for (TCurrencyWindow* w : MainForm->OpenWindows)
            if (w->Handle() == sub->widget()) worlds.push_back(dynamic_cast<TWorldForm*>(w));
    }
    ASSERT_EQ(worlds.size(), 3u);
    auto at = [](TForm* f) { return QPoint(f->Left(), f->Top()); };
    EXPECT_EQ(at(worlds[0]), QPoint(0, 0));
    EXPECT_GT(at(worlds[1]).x(), 0);
    EXPECT_GT(at(worlds[1]).y(), 0);
    EXPECT_GT(at(worlds[2]).y(), at(worlds[1]).y());
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());

    TWorldForm* world = worlds[2];  // the one on top, whose buttons show
    const QPoint before = at(world);
    x().Click(x().Centre(world->UndockButton->Handle()));  // "Un&dock"
    ASSERT_TRUE(WaitUntil([&] { return world->FormStyle() != fsMDIChild && x().Viewable(x().WindowOf(world->Handle())); }));
    x().Click(x().Centre(world->UndockButton->Handle()));  // "&Dock"
    ASSERT_TRUE(WaitUntil([&] { return world->FormStyle() == fsMDIChild && world->Handle()->isVisible(); }));
    EXPECT_EQ(at(world), before);
    // At once with its minimise box drawn, and the keyboard where it was.
    QMdiSubWindow* frame = area->activeSubWindow();
    ASSERT_TRUE(frame && frame->widget() == world->Handle());
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(WaitUntil([&] {
        return QApplication::focusWidget() == world->UndockButton->Handle() && Active(MainForm->Handle());
    })) << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "no focus");
    // (Its rounded corners show what lies behind.)
    const QRect bar(8, 4, frame->width() - 16, frame->contentsMargins().top() - 4);
    EXPECT_TRUE(WaitUntil([&] {
        return x().Image(QRect(x().RootPos(frame, bar.topLeft()), bar.size())) ==
               frame->grab(bar).toImage().convertToFormat(QImage::Format_RGB32);
    })) << "the title bar on screen is not what the frame draws";
}

TEST_F(ChildWindows, TheCrossRatesWindowKeepsItsSizeAndALongNameShowsWholeWhenItsListDropsDown) {
    StartProgram();
    const std::string name = "Bosnia and Herzegovina Convertible Mark";  // as long as a name gets
    MainForm->CurrentSource->AddCurrency(name, "BAM", 1.95, "2025/01/16", true, true);
    x().Key("ctrl+o");
    TCrossForm* cross = Shown<TCrossForm>();
    ASSERT_NE(cross, nullptr);
    EXPECT_EQ(cross->Handle()->size(), QSize(681, 184));
    MainForm->RefreshWindows();
    EXPECT_EQ(cross->Handle()->size(), QSize(681, 184));

    auto* list = static_cast<QComboBox*>(cross->ComboBox1->Handle());
    QWidget* popup = nullptr;
    Script s;
    s.Then("open the first list", [&] { x().Click(x().Centre(list)); })
        .When("its entries show", [&] { return (popup = QApplication::activePopupWidget()) && x().Viewable(x().WindowOf(popup)); },
              [&] {
                  const int needed = list->fontMetrics().horizontalAdvance(QString::fromStdString(name));
                  EXPECT_GE(x().ClientRect(x().WindowOf(popup)).width(), needed) << "the name is cut in the list";
                  x().Key("Escape");
              })
        .When("closed", [&] { return !QApplication::activePopupWidget(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
}
