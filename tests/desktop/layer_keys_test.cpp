// Keys in dialogs and forms with actions, typed as a user types them.
#include "desktop/layerfixture.h"

#include <QLineEdit>

#include <memory>

namespace {
struct Dialog {
    TForm* form;
    TEdit* edit;
    TButton *ok, *cancel, *other;
    std::shared_ptr<int> otherClicks = std::make_shared<int>(0);
};

Dialog MakeDialog(TComponent* owner) {
    Dialog d{};
    d.form = new TForm(owner);
    d.form->SetBorderStyle(bsDialog);
    d.form->SetClientSize(320, 120);
    d.edit = new TEdit(d.form, d.form);
    d.edit->SetBounds(10, 10, 200, 22);
    d.other = new TButton(d.form, d.form, "Other");
    d.other->SetBounds(10, 80, 75, 25);
    d.other->OnClick = [clicks = d.otherClicks](TObject*) { ++*clicks; };
    d.ok = new TButton(d.form, d.form, "OK");
    d.ok->SetBounds(150, 80, 75, 25);
    d.ok->SetDefault(true);
    d.ok->SetModalResult(mrOk);
    d.cancel = new TButton(d.form, d.form, "Cancel");
    d.cancel->SetBounds(235, 80, 75, 25);
    d.cancel->SetCancel(true);
    d.cancel->SetModalResult(mrCancel);
    return d;
}
}  // namespace

TEST_F(DesktopLayer, EnterPressesTheFocusedButtonElseTheDefaultAndEscapeTheCancelButton) {
    ASSERT_NE(ShowMainForm(), nullptr);
    Dialog d = MakeDialog(app.get());
    int result = -1;
    int clicksAtEnter = -1;
    Script s;
    s.Then("show", [&] { result = d.form->ShowModal(); })
        .When("shown", [&] { return d.form->Visible() && Active(d.form->Handle()); },
              [&] {
                  // The focus on "Other" by keyboard (a click would press it).
                  d.other->SetFocus();
                  WaitUntil([&] { return d.other->Focused(); });
                  x().Key("Return");
              })
        .When("Enter pressed Other and the dialog stays", [&] { return *d.otherClicks > 0 && d.form->Visible(); },
              [&] {
                  clicksAtEnter = *d.otherClicks;
                  EXPECT_TRUE(ClickInto(d.edit));
                  x().Key("Return");  // from the edit: the default button
              })
        .When("closed by OK", [&] { return !d.form->Visible(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_EQ(clicksAtEnter, 1);
    EXPECT_EQ(result, mrOk);

    Script t;
    t.Then("show", [&] { result = d.form->ShowModal(); })
        .When("shown", [&] { return d.form->Visible() && Active(d.form->Handle()); },
              [&] {
                  EXPECT_TRUE(ClickInto(d.edit, QPoint(5, 5)));
                  x().Key("Escape");
              })
        .When("closed by Cancel", [&] { return !d.form->Visible(); });
    ASSERT_TRUE(t.Run()) << t.Failed();
    EXPECT_EQ(result, mrCancel);
}

TEST_F(DesktopLayer, AFormOpensWithItsActiveControlFocused) {
    ASSERT_NE(ShowMainForm(), nullptr);
    Dialog d = MakeDialog(app.get());
    d.form->SetActiveControl(d.other);
    ASSERT_TRUE(ShowAndWait(d.form));
    EXPECT_TRUE(WaitUntil([&] { return d.other->Focused(); }, 2000));
    x().Key("Return");
    EXPECT_EQ(*d.otherClicks, 1);
}

TEST_F(DesktopLayer, UnderAModalBoxTheFormsShortcutsAreTheBoxsKeys) {
    TForm* main = new TForm(app.get());
    app->SetMainForm(main);
    main->SetClientSize(400, 200);
    auto* list = new TActionList(main);
    auto* action = new TAction(list, "&Open", "Ctrl+K");
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };
    auto* edit = new TEdit(main, main);
    edit->SetBounds(10, 10, 200, 22);
    ASSERT_TRUE(ShowAndWait(main));
    ASSERT_TRUE(ClickInto(edit));
    x().Key("ctrl+k");
    ASSERT_TRUE(WaitUntil([&] { return runs == 1; }));
    Script s;
    s.Then("a message box", [&] { ShowMessage("Wait"); })
        .When("the box on screen", [&] { return QApplication::activeModalWidget() && Active(QApplication::activeModalWidget()); },
              [&] {
                  x().Key("ctrl+k");  // the box's, not the form's
                  x().Key("Return");
              })
        .When("the box gone", [&] { return !QApplication::activeModalWidget(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_EQ(runs, 1);
}
