// Sorted list views, their double clicks and filling columns, buttons bound
// to actions, panels' resize events and lower-casing every letter.
#include "platform/formkit.h"
#include "support/testenv.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {
class Controls : public GuiTest {
protected:
    static std::vector<std::string> Rows(TListView* view) {
        std::vector<std::string> out;
        for (int i = 0; i < view->Count(); ++i) out.push_back(view->Item(i)->Caption() + view->Item(i)->SubItem(0));
        return out;
    }
    static void Add(TListView* view, const std::string& caption, const std::string& sub) {
        TListItem* item = view->AddItem();
        item->SetCaption(caption);
        item->AddSubItem(sub);
    }
    ScriptedResponder dialogs;
};
}  // namespace

TEST_F(Controls, SortedListViewsOrderRowsByCaptionIgnoringCaseAndKeepTheChoice) {
    TForm form(nullptr);
    auto* view = new TListView(&form, &form);
    view->AddColumn("Name", 100);
    view->AddColumn("Code", 40);
    view->SetMultiSelect(true);
    view->SetSorted(true);
    Add(view, "yen", "1");
    Add(view, "Euro", "2");
    EXPECT_EQ(Rows(view), (std::vector<std::string>{"Euro2", "yen1"}));  // sorted at once
    view->Item(1)->SetSelected(true);

    view->BeginUpdate();
    Add(view, "dollar", "3");
    Add(view, "euro", "4");  // equal captions keep the order they came in
    Add(view, "Baht", "5");
    EXPECT_EQ(view->Item(4)->Caption(), "Baht");  // sorted only when the update ends
    view->EndUpdate();
    EXPECT_EQ(Rows(view), (std::vector<std::string>{"Baht5", "dollar3", "Euro2", "euro4", "yen1"}));
    auto* tree = static_cast<QTreeView*>(view->Handle());
    for (int i = 0; i < view->Count(); ++i)
        EXPECT_EQ(tree->model()->index(i, 0).data().toString().toStdString(), view->Item(i)->Caption());
    EXPECT_EQ(view->Selected()->Caption(), "yen");
    view->Delete(2);
    view->Item(0)->SetCaption("Zloty");
    EXPECT_EQ(Rows(view), (std::vector<std::string>{"dollar3", "euro4", "yen1", "Zloty5"}));
    Add(view, "Ébène", "6");  // beyond ASCII letters compare lower-cased too
    Add(view, "ébauche", "7");
    EXPECT_EQ(Rows(view), (std::vector<std::string>{"dollar3", "euro4", "yen1", "Zloty5", "ébauche7", "Ébène6"}));

    // A view whose widget the toolkit freed first goes quietly.
    auto* orphan = new TListView(nullptr);
    orphan->AddItem();
    delete orphan->Handle();
    delete orphan;
}

TEST_F(Controls, ListViewsReportDoubleClicksAndShareTheWidthAmongFillingColumns) {
    TForm form(nullptr);
    auto* view = new TListView(&form, &form);
    view->SetBounds(0, 0, 400, 200);
    view->AddColumn("Name", 50);
    view->AddColumn("Code", 40);
    view->AddColumn("Date", 50);
    view->SetColumnAutoSize(0);
    view->SetColumnAutoSize(2);
    Add(view, "Euro", "EUR");
    int doubles = 0;
    view->OnDblClick = [&](TObject*) { ++doubles; };
    form.Show();
    QApplication::processEvents();
    auto* tree = static_cast<QTreeView*>(view->Handle());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(tree->model()->index(0, 0)).center());
    EXPECT_EQ(doubles, 1);
    QHeaderView* header = tree->header();
    EXPECT_EQ(header->sectionSize(1), 40);
    EXPECT_EQ(header->sectionSize(0), header->sectionSize(2));
    EXPECT_GE(header->length(), tree->viewport()->width() - 1);
}

TEST_F(Controls, ButtonsBoundToAnActionFollowItAndExecuteIt) {
    TForm form(nullptr);
    auto* action = new TAction(new TActionList(&form), "&Add", "", 0, "Add|Add a row");
    int runs = 0, ownClicks = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    auto* button = new TButton(&form, &form);
    button->OnClick = [&](TObject*) { ++ownClicks; };
    button->SetAction(action);
    EXPECT_EQ(button->Caption(), "&Add");
    form.Show();
    QTest::mouseClick(button->Handle(), Qt::LeftButton);
    action->SetEnabled(false);
    EXPECT_FALSE(button->Enabled());
    QTest::mouseClick(button->Handle(), Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(ownClicks, 0);
    action->SetCaption("&Insert");
    EXPECT_EQ(button->Caption(), "&Insert");
    delete button;  // leaves the action without a dangling client
    action->SetEnabled(true);
}

TEST_F(Controls, PanelsReportTheirResizeAfterPlacingTheirChildren) {
    TForm form(nullptr);
    form.SetClientSize(300, 200);
    auto* panel = new TPanel(&form, &form);
    panel->SetBevelOuter(bvNone);
    panel->SetAlign(alClient);
    auto* bottom = new TPanel(&form, panel);
    bottom->SetHeight(30);
    bottom->SetAlign(alBottom);
    int seenTop = -1;
    panel->OnResize = [&](TObject*) { seenTop = bottom->Top(); };
    form.Show();
    form.SetClientSize(300, 260);
    QApplication::processEvents();
    EXPECT_EQ(seenTop, 230);
}

TEST_F(Controls, AHiddenMdiChildKeepsTheClientSizeItIsGiven) {
    TForm* main = new TForm(app.get(), fsMDIForm);
    app->SetMainForm(main);
    main->Show();
    auto* child = new TForm(main, fsMDIChild);
    child->SetClientSize(300, 200);
    const int frameWidth = child->Width() - child->ClientWidth(), frameHeight = child->Height() - child->ClientHeight();
    child->SetClientSize(500, 250);  // again before it is shown
    EXPECT_EQ(child->ClientWidth(), 500);
    EXPECT_EQ(child->Height(), 250 + frameHeight);
    child->Show();
    QApplication::processEvents();
    EXPECT_EQ(child->Width(), 500 + frameWidth);
    EXPECT_EQ(child->ClientHeight(), 250);
}

TEST(Text, AnsiLowerCaseLowersEveryLetter) { EXPECT_EQ(AnsiLowerCase("ÄRGER Złoty DOL"), "ärger złoty dol"); }
