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

TEST_F(DesktopLayer, AWindowPlacedByTheSystemIsLeftToTheWindowManager) {
    ASSERT_NE(ShowMainForm(), nullptr);
    TForm* tool = new TForm(app.get(), fsStayOnTop);
    tool->SetBorderStyle(bsSingle);
    tool->SetBorderIcons(biSystemMenu);
    tool->SetPosition(poDefault);
    tool->SetClientSize(300, 80);
    ASSERT_TRUE(ShowAndWait(tool));
    EXPECT_FALSE(x().AsksForPosition(x().WindowOf(tool->Handle())));
    // One given a place keeps it.
    TForm* placed = new TForm(app.get());
    placed->SetClientSize(200, 80);
    placed->SetLeft(321);
    placed->SetTop(234);
    ASSERT_TRUE(ShowAndWait(placed));
    EXPECT_TRUE(x().AsksForPosition(x().WindowOf(placed->Handle())));
    EXPECT_TRUE(WaitUntil([&] { return x().FrameRect(x().WindowOf(placed->Handle())).topLeft() == QPoint(321, 234); }));
}

TEST_F(DesktopLayer, MovingAFormNeverChangesItsSize) {
    ASSERT_NE(ShowMainForm(), nullptr);
    for (TFormBorderStyle border : {bsSingle, bsSizeable}) {
        TForm* form = new TForm(app.get(), fsStayOnTop);
        form->SetBorderStyle(border);
        form->SetBorderIcons(biSystemMenu);
        form->SetClientSize(480, 73);
        form->SetLeft(200);  // before the window manager has framed it
        form->SetTop(150);
        ASSERT_TRUE(ShowAndWait(form));
        const unsigned long w = x().WindowOf(form->Handle());
        EXPECT_TRUE(WaitUntil([&] { return x().FrameRect(w).topLeft() == QPoint(200, 150); }))
            << ::testing::PrintToString(x().FrameRect(w));
        EXPECT_EQ(x().ClientRect(w).size(), QSize(480, 73)) << "border " << border;
        form->SetLeft(260);  // and once it has
        EXPECT_TRUE(WaitUntil([&] { return x().FrameRect(w).topLeft() == QPoint(260, 150); }));
        EXPECT_EQ(x().ClientRect(w).size(), QSize(480, 73)) << "border " << border;
        EXPECT_EQ(form->ClientWidth(), 480);
        EXPECT_EQ(form->ClientHeight(), 73);
    }
}

TEST_F(DesktopLayer, TheFrameOffersOnlyWhatTheFormAllowsAndAMinimiseItLacksIsRefused) {
    ASSERT_NE(ShowMainForm(), nullptr);
    auto allows = [&](unsigned long w, const std::string& action) {
        const std::vector<std::string> actions = x().AllowedActions(w);
        return std::find(actions.begin(), actions.end(), action) != actions.end();
    };
    auto refusesMinimise = [&](unsigned long w) {
        x().RequestMinimize(w);
        // Once the window manager has answered, it is still up, or the
        // program has put it back.
        return x().WindowManagerRoundTrip(w) && WaitUntil([&] { return x().Viewable(w) && x().WmState(w) == 1; });
    };
    struct Case {
        TFormBorderStyle border;
        int icons;
        bool minimise, maximise;
    } cases[] = {{bsSizeable, biSystemMenu | biMinimize | biMaximize, true, true},
                 {bsSingle, biSystemMenu | biMinimize, true, false},
                 {bsSingle, biSystemMenu, false, false},
                 {bsDialog, biSystemMenu | biMinimize | biMaximize, false, false},
                 {bsDialog, 0, false, false}};
    for (const Case& c : cases) {
        TForm* form = new TForm(app.get());
        form->SetBorderStyle(c.border);
        form->SetBorderIcons(c.icons);
        form->SetClientSize(300, 80);
        ASSERT_TRUE(ShowAndWait(form));
        const unsigned long w = x().WindowOf(form->Handle());
        const std::string what = "border " + std::to_string(c.border) + ", icons " + std::to_string(c.icons);
        EXPECT_TRUE(WaitUntil([&] { return allows(w, "MINIMIZE") == c.minimise; })) << what;
        EXPECT_EQ(allows(w, "MAXIMIZE_HORZ"), c.maximise) << what;
        if (!c.minimise) {
            EXPECT_TRUE(refusesMinimise(w)) << what;
        }
        if (c.border == bsSingle && c.minimise) {
            // Its minimise box taken away while it is up, as an undocked window's is.
            form->SetBorderIcons(biSystemMenu);
            const unsigned long now = x().WindowOf(form->Handle());
            EXPECT_TRUE(WaitUntil([&] { return x().Viewable(now) && !allows(now, "MINIMIZE"); })) << what;
            EXPECT_TRUE(refusesMinimise(now)) << what;
        }
        form->Hide();
    }
    // A message box has a close button and nothing else.
    Script s;
    s.Then("a message box", [&] { ShowMessage("Hints"); })
        .When("the box on screen", [&] { return QApplication::activeModalWidget() && Active(QApplication::activeModalWidget()); },
              [&] {
                  const unsigned long box = x().WindowOf(QApplication::activeModalWidget());
                  EXPECT_FALSE(allows(box, "MINIMIZE"));
                  EXPECT_FALSE(allows(box, "MAXIMIZE_HORZ"));
                  EXPECT_TRUE(allows(box, "CLOSE"));
                  x().Key("Return");
              })
        .When("the box gone", [&] { return !QApplication::activeModalWidget(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
}
