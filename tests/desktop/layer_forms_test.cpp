// Forms under a window manager: close requests from outside, modal dialogs.
#include "desktop/layerfixture.h"

TEST_F(DesktopLayer, AModalFormWithoutCloseBoxRefusesACloseFromOutside) {
    ASSERT_NE(ShowMainForm(), nullptr);
    TForm* dialog = new TForm(app.get());
    dialog->SetBorderStyle(bsDialog);
    dialog->SetBorderIcons(0);
    dialog->SetClientSize(200, 100);
    auto* ok = new TButton(dialog, dialog, "OK");
    ok->SetBounds(60, 60, 75, 25);
    ok->SetModalResult(mrOk);
    int closes = 0;
    dialog->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    int result = -1;
    Script s;
    s.Then("show modally", [&] { result = dialog->ShowModal(); })
        .When("on screen", [&] { return dialog->Visible() && Active(dialog->Handle()); },
              [&] {
                  x().RequestClose(x().WindowOf(dialog->Handle()));
                  x().RoundTrip();
                  EXPECT_TRUE(dialog->Visible()) << "closed from outside";
                  EXPECT_EQ(closes, 0);
                  x().Click(x().Centre(ok->Handle()));
              })
        .When("closed by OK", [&] { return !dialog->Visible(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_EQ(result, mrOk);

    // With a close box the request closes it as Cancel.
    dialog->SetBorderIcons(biSystemMenu);
    Script t;
    t.Then("show modally", [&] { result = dialog->ShowModal(); })
        .When("on screen", [&] { return dialog->Visible() && Active(dialog->Handle()); },
              [&] { x().RequestClose(x().WindowOf(dialog->Handle())); })
        .When("closed", [&] { return !dialog->Visible(); });
    ASSERT_TRUE(t.Run()) << t.Failed();
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(closes, 2);
}
