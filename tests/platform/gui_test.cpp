// The layer's event rules, each triggered through the real widget.
#include "platform/formkit.h"
#include "support/testenv.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {
class Gui : public GuiTest {
protected:
    ScriptedResponder dialogs;
};

// Counts the runs of a handler.
struct Counter {
    int runs = 0;
    TNotifyEvent Handler() {
        return [this](TObject*) { ++runs; };
    }
};

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}
}  // namespace

TEST_F(Gui, EditChangeFiresOnEveryRealChangeAlsoByCode) {
    TForm form(nullptr);
    TEdit* edit = new TEdit(&form, &form);
    Counter changed;
    edit->OnChange = changed.Handler();
    edit->SetText("12");
    EXPECT_EQ(changed.runs, 1);
    edit->SetText("12");
    EXPECT_EQ(changed.runs, 1);
    form.Show();
    edit->SetFocus();
    QTest::keyClicks(edit->Handle(), "34");
    EXPECT_EQ(changed.runs, 3);
    EXPECT_EQ(edit->Text(), "1234");
    QTest::keyClick(edit->Handle(), Qt::Key_Backspace);
    EXPECT_EQ(changed.runs, 4);
}

TEST_F(Gui, AMaskedEditShowsItsOwnCharacter) {
    TForm form(nullptr);
    TEdit* edit = new TEdit(&form, &form);
    edit->SetPasswordChar('*');
    form.Show();
    edit->SetFocus();
    QTest::keyClicks(edit->Handle(), "pa:ss");
    EXPECT_EQ(edit->Text(), "pa:ss");
    EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->displayText().toStdString(), "*****");
    edit->SetPasswordChar(0);
    EXPECT_EQ(static_cast<QLineEdit*>(edit->Handle())->displayText().toStdString(), "pa:ss");
}

TEST_F(Gui, ComboChangeFiresOnlyWhenTheUserPicksAnotherEntry) {
    TForm form(nullptr);
    TComboBox* combo = new TComboBox(&form, &form);
    Counter changed;
    combo->OnChange = changed.Handler();
    for (const char* s : {"Euro", "Yen", "Dollar"}) combo->Items()->Add(s);
    combo->SetItemIndex(0);
    EXPECT_EQ(changed.runs, 0);
    form.Show();
    QTest::keyClick(combo->Handle(), Qt::Key_Down);
    EXPECT_EQ(changed.runs, 1);
    EXPECT_EQ(combo->ItemIndex(), 1);
    auto* box = static_cast<QComboBox*>(combo->Handle());
    emit box->activated(1);  // the same entry again
    EXPECT_EQ(changed.runs, 1);
    combo->Items()->Clear();
    combo->Items()->Add("Won");
    EXPECT_EQ(changed.runs, 1);
    // Sorted lists and IndexOf ignore letter case.
    combo->SetSorted(true);
    combo->Items()->Add("austral");
    combo->Items()->Add("Baht");
    EXPECT_EQ(combo->Items()->Get(0), "austral");
    EXPECT_EQ(combo->Items()->IndexOf("WON"), 2);
}

TEST_F(Gui, ListBoxClickFiresWhenTheUserChangesTheChoice) {
    TForm form(nullptr);
    form.SetClientSize(200, 200);
    TListBox* list = new TListBox(&form, &form);
    list->SetBounds(0, 0, 200, 200);
    Counter clicked;
    list->OnClick = clicked.Handler();
    for (const char* s : {"a", "b", "c"}) list->Items()->Add(s);
    list->SetItemIndex(1);
    list->Items()->Delete(0);
    EXPECT_EQ(clicked.runs, 0);
    form.Show();
    auto* widget = static_cast<QListWidget*>(list->Handle());
    QRect r = widget->visualItemRect(widget->item(1));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(clicked.runs, 1);
    EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(Gui, ListViewClickFiresOnMouseClicksOnly) {
    TForm form(nullptr);
    form.SetClientSize(300, 200);
    TListView* view = new TListView(&form, &form);
    view->SetBounds(0, 0, 300, 200);
    view->AddColumn("Name", 120);
    view->AddColumn("Value", 80, true);
    view->SetMultiSelect(true);
    Counter clicked;
    view->OnClick = clicked.Handler();
    for (const char* s : {"Euro", "Yen"}) {
        TListItem* item = view->AddItem();
        item->SetCaption(s);
        item->AddSubItem("1.00");
    }
    view->Item(0)->SetSelected(true);
    EXPECT_EQ(clicked.runs, 0);
    form.Show();
    auto* tree = static_cast<QTreeView*>(view->Handle());
    QRect r = tree->visualRect(tree->model()->index(1, 0));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
    EXPECT_EQ(clicked.runs, 1);
    EXPECT_EQ(view->SelCount(), 2);
    EXPECT_EQ(view->Item(1)->SubItem(0), "1.00");
    EXPECT_EQ(view->FindCaption("Yen"), view->Item(1));
}

TEST_F(Gui, CheckAndRadioClicksFollowTheirState) {
    TForm form(nullptr);
    TCheckBox* check = new TCheckBox(&form, &form, "&Grouping");
    TRadioButton* one = new TRadioButton(&form, &form, "One");
    TRadioButton* two = new TRadioButton(&form, &form, "Two");
    Counter checkClicks, oneClicks, twoClicks;
    check->OnClick = checkClicks.Handler();
    one->OnClick = oneClicks.Handler();
    two->OnClick = twoClicks.Handler();
    check->SetChecked(true);
    check->SetChecked(true);
    EXPECT_EQ(checkClicks.runs, 1);
    form.Show();
    QTest::mouseClick(check->Handle(), Qt::LeftButton);
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(checkClicks.runs, 2);
    one->SetChecked(true);
    EXPECT_EQ(oneClicks.runs, 1);
    two->SetChecked(true);  // unchecks one, which does not fire
    EXPECT_EQ(oneClicks.runs, 1);
    EXPECT_EQ(twoClicks.runs, 1);
    EXPECT_FALSE(one->Checked());
}

TEST_F(Gui, ShowHideAndCloseOfANormalForm) {
    auto* form = new TForm(nullptr);
    Counter shown, hidden, closed;
    form->OnShow = shown.Handler();
    form->OnHide = hidden.Handler();
    form->OnClose = [&](TObject*, TCloseAction& action) {
        ++closed.runs;
        EXPECT_EQ(action, caHide);
    };
    form->Show();
    form->Show();
    EXPECT_EQ(shown.runs, 1);
    form->Close();
    EXPECT_EQ(closed.runs, 1);
    EXPECT_EQ(hidden.runs, 1);
    EXPECT_FALSE(form->Visible());
    form->Show();
    EXPECT_EQ(shown.runs, 2);
    form->Hide();
    EXPECT_EQ(hidden.runs, 2);
    // The window's own close box goes the same way.
    form->Show();
    form->Handle()->close();
    EXPECT_EQ(closed.runs, 2);
    delete form;
}

namespace {
class Child : public TForm {
public:
    explicit Child(TComponent* owner, int* shownDuringConstruction) : TForm(owner, fsMDIChild) {
        SetCaption("Child");
        SetClientSize(200, 100);
        OnShow = [this](TObject*) { ++showRuns; };
        FormLoaded();
        *shownDuringConstruction = showRuns;
    }
    int showRuns = 0;
};
}  // namespace

TEST_F(Gui, MdiChildrenShowWhileConstructedAndAreFreedAfterTheirHandler) {
    TForm* main = new TForm(app.get(), fsMDIForm);
    app->SetMainForm(main);
    main->SetClientSize(800, 600);
    main->Show();
    int shownEarly = 0;
    auto* child = new Child(app.get(), &shownEarly);
    EXPECT_EQ(shownEarly, 1);
    EXPECT_EQ(main->MDIChildren().size(), 1u);

    child->SetBounds(30, 40, 250, 150);
    EXPECT_EQ(child->Left(), 30);
    EXPECT_EQ(child->Top(), 40);
    EXPECT_EQ(child->Width(), 250);

    // Undocked and docked again it lives on, without another OnShow.
    child->SetFormStyle(fsNormal);
    EXPECT_TRUE(child->Handle()->isWindow());
    EXPECT_TRUE(child->Visible());
    child->SetFormStyle(fsMDIChild);
    EXPECT_FALSE(child->Handle()->isWindow());
    EXPECT_EQ(child->showRuns, 1);

    QPointer<QWidget> alive = child->Handle();
    bool aliveInHandler = false;
    child->OnClose = [&](TObject*, TCloseAction& action) {
        EXPECT_EQ(action, caFree);
        child->Release();
        Settle();  // deferred work runs, but the form must outlive its handler
        aliveInHandler = !alive.isNull();
    };
    child->Close();
    EXPECT_TRUE(aliveInHandler);
    Settle();
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(main->MDIChildren().empty());
}

namespace {
struct Dialog : TForm {
    explicit Dialog(bool withCancel) : TForm(nullptr) {
        SetBorderStyle(bsDialog);
        ok = new TButton(this, this, "OK");
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        edit = new TEdit(this, this);
        edit->SetBounds(0, 40, 100, 22);
        if (withCancel) {
            cancel = new TButton(this, this, "Cancel");
            cancel->SetCancel(true);
            cancel->SetModalResult(mrCancel);
        }
    }
    TButton* ok;
    TButton* cancel = nullptr;
    TEdit* edit;
};
}  // namespace

TEST_F(Gui, ModalFormsCloseByKeyOnlyThroughTheirButtons) {
    {
        Dialog d(true);
        dialogs.QueueModal([&](TForm*) {
            d.edit->SetFocus();
            QTest::keyClick(d.edit->Handle(), Qt::Key_Escape);
        });
        EXPECT_EQ(d.ShowModal(), mrCancel);
    }
    {
        Dialog d(false);
        int result = -1;
        dialogs.QueueModal([&](TForm*) {
            QTest::keyClick(d.edit->Handle(), Qt::Key_Escape);
            result = d.ModalResult();  // Escape is ignored without a Cancel button
            d.ok->SetEnabled(false);
            QTest::keyClick(d.edit->Handle(), Qt::Key_Return);
            EXPECT_EQ(d.ModalResult(), 0);  // not while the default button is disabled
            d.ok->SetEnabled(true);
            QTest::keyClick(d.edit->Handle(), Qt::Key_Return);
        });
        EXPECT_EQ(d.ShowModal(), mrOk);
        EXPECT_EQ(result, 0);
    }
    {
        // OnClose may keep a dialog open; a real loop ends on the next result.
        Dialog d(true);
        int closes = 0;
        d.OnClose = [&](TObject*, TCloseAction& action) {
            if (++closes == 1) action = caNone;
        };
        dialogs.QueueModal([&](TForm*) { d.ok->Click(); });
        EXPECT_EQ(d.ShowModal(), mrOk);
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(dialogs.ModalForms().size(), 3u);  // every modal form shown is recorded
    }
}

TEST_F(Gui, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
    TForm form(nullptr);
    TButton* b = new TButton(&form, &form, "Go");
    int after = 0;
    b->OnClick = [](TObject*) { throw Exception("Something failed"); };
    form.Show();
    QTest::mouseClick(b->Handle(), Qt::LeftButton);
    ++after;
    EXPECT_EQ(after, 1);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Something failed");
    EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
}

TEST_F(Gui, ActionsDriveTheirMenuItemsAndButtonsAndAnswerTheirShortcut) {
    TForm* main = new TForm(app.get(), fsMDIForm);
    app->SetMainForm(main);
    auto* list = new TActionList(main);
    int runs = 0;
    auto* action = new TAction(list, "&World", "Ctrl+W", 3, "World|Open new world window");
    action->OnExecute = [&](TObject*) { ++runs; };
    auto* menu = new TMainMenu(main);
    auto* file = new TMenuItem(menu, "&File");
    auto* item = new TMenuItem(menu);
    item->SetAction(action);
    file->Add(item);
    menu->Add(file);
    auto* popupItem = new TMenuItem(menu);
    popupItem->SetAction(action);
    popupItem->SetCaption("&Show Pictures");
    main->SetMenu(menu);
    main->Show();
    QApplication::setActiveWindow(main->Handle());

    EXPECT_TRUE(item->QtAction()->text().startsWith("&World"));
    EXPECT_TRUE(popupItem->QtAction()->text().startsWith("&Show Pictures"));
    EXPECT_EQ(item->QtAction()->statusTip().toStdString(), "Open new world window");
    action->SetChecked(true);
    action->SetEnabled(false);
    EXPECT_TRUE(popupItem->Checked());
    EXPECT_FALSE(item->Enabled());
    EXPECT_TRUE(popupItem->QtAction()->text().startsWith("&Show Pictures"));  // its own caption stays
    item->QtAction()->trigger();
    EXPECT_EQ(runs, 0);
    action->SetEnabled(true);
    item->QtAction()->trigger();
    EXPECT_EQ(runs, 1);
    QTest::keyClick(main->Handle(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(runs, 2);
}
