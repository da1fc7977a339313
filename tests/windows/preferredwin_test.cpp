// Preferred windows driven through their widgets, in the running main program.
#include "support/layoutcheck.h"
#include "windows/childwindow.h"
#include "windows/preferredsetwin.h"
#include "windows/preferredwin.h"

namespace {
class PreferredWindow : public ChildWindow {
protected:
    TPreferredForm* Open() {
        size_t before = MainForm->OpenWindows.size();
        Key(Qt::Key_P, Qt::ControlModifier);
        EXPECT_EQ(MainForm->OpenWindows.size(), before + 1);
        return Newest<TPreferredForm>();
    }
    // Opens the pair editor with the "..." button and works it while it is shown.
    void EditPairs(TPreferredForm* w, std::function<void(TPrefSetForm*)> work) {
        dialogs.QueueModal([work](TForm* f) { work(static_cast<TPrefSetForm*>(f)); });
        Click(w->Button1);
    }
};
}  // namespace

TEST_F(PreferredWindow, OpensOnTheFirstPairAndConvertsWhicheverFieldIsTyped) {
    TPreferredForm* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Entries(w->PrefCombo->Items()), (std::vector<std::string>{"Dollar - Canada", "Dollar - Euro"}));
    EXPECT_EQ(w->Caption(), "Dollar - Canada");
    EXPECT_EQ(w->Label1->Caption(), "U.S. Dollar:");
    EXPECT_EQ(w->Label3->Caption(), "Canadian Dollar:");
    EXPECT_EQ(w->Edit1->Text(), "0");
    EXPECT_EQ(w->Edit2->Text(), "0");
    EXPECT_EQ(w->Label5->Caption(), "");  // the display settings are off

    Pick(w->PrefCombo, "Dollar - Euro");
    EXPECT_EQ(w->Caption(), "Dollar - Euro");
    EXPECT_EQ(w->Label3->Caption(), "Euro:");
    int ones = 0, twos = 0;
    TNotifyEvent one = w->Edit1->OnChange, two = w->Edit2->OnChange;
    w->Edit1->OnChange = [&](TObject* s) { ++ones, one(s); };
    w->Edit2->OnChange = [&](TObject* s) { ++twos, two(s); };
    Type(w->Edit1, "100");
    EXPECT_EQ(ones, 3);  // one conversion per key
    EXPECT_EQ(twos, 0);  // the other field never converts back
    EXPECT_EQ(w->Edit1->Text(), "100");
    EXPECT_EQ(w->Edit2->Text(), "97.35");
    Type(w->Edit2, "50");
    EXPECT_EQ(twos, 2);
    EXPECT_EQ(ones, 3);
    EXPECT_EQ(w->Edit2->Text(), "50");
    EXPECT_EQ(w->Edit1->Text(), Convert("50", "Euro", "U.S. Dollar"));
    Type(w->Edit1, "10");
    EXPECT_EQ(w->Edit2->Text(), "9.74");

    // The labels follow the settings at the next recomputation.
    MainForm->AppSettings->showCurrDate = true;
    MainForm->AppSettings->showCurrValue = true;
    Pick(w->PrefCombo, "Dollar - Canada");
    EXPECT_EQ(w->Label4->Caption(), "2025/01/16");
    EXPECT_EQ(w->Label5->Caption(), "1");
    EXPECT_EQ(w->Label6->Caption(), "2025/01/16");
    EXPECT_EQ(w->Label7->Caption(), "1.44");
    EXPECT_EQ(w->Edit2->Text(), "14.39");
}

TEST_F(PreferredWindow, CopiesAndPastesOnBothSides) {
    TPreferredForm* w = Open();
    Pick(w->PrefCombo, "Dollar - Euro");
    Clipboard()->SetAsText("200");
    Click(w->BitBtn2);
    EXPECT_EQ(w->Edit1->Text(), "200");
    EXPECT_EQ(w->Edit2->Text(), "194.70");
    Click(w->BitBtn3);
    EXPECT_EQ(Clipboard()->AsText(), "194.70");
    Clipboard()->SetAsText("10");
    Click(w->BitBtn4);
    EXPECT_EQ(w->Edit2->Text(), "10");
    EXPECT_EQ(w->Edit1->Text(), "10.27");
    Click(w->BitBtn1);
    EXPECT_EQ(Clipboard()->AsText(), "10.27");
    Click(w->ClearButton);
    EXPECT_EQ(w->Edit1->Text(), "0");
    EXPECT_EQ(w->Edit2->Text(), "0");
    EXPECT_EQ(w->Edit1->SelLength(), 1);
}

TEST_F(PreferredWindow, ShowsARenamedOrRemovedPairAfterTheEditorCloses) {
    TPreferredForm* w = Open();
    Pick(w->PrefCombo, "Dollar - Euro");
    Type(w->Edit1, "3");
    EditPairs(w, [](TPrefSetForm* e) {
        EXPECT_EQ(e->Edit1->Text(), "Dollar - Euro");  // opens on the pair shown
        Type(e->Edit1, "Greenback - Euro");
        Click(e->OkButton);
    });
    EXPECT_EQ(Entries(w->PrefCombo->Items()), (std::vector<std::string>{"Dollar - Canada", "Greenback - Euro"}));
    EXPECT_EQ(w->PrefCombo->Text(), "Greenback - Euro");
    EXPECT_EQ(w->Caption(), "Greenback - Euro");
    EXPECT_EQ(w->Edit1->Text(), "3");

    // Another window is not told; its next refresh closes it.
    TPreferredForm* other = Open();
    Pick(other->PrefCombo, "Greenback - Euro");
    EditPairs(w, [](TPrefSetForm* e) {
        Click(e->RemoveButton);
        EXPECT_EQ(e->Edit1->Text(), "Dollar - Canada");  // the first remaining pair
        Click(e->OkButton);
    });
    EXPECT_EQ(Entries(w->PrefCombo->Items()), std::vector<std::string>{"Dollar - Canada"});
    EXPECT_EQ(w->Caption(), "Dollar - Canada");
    EXPECT_EQ(w->Label3->Caption(), "Canadian Dollar:");
    EXPECT_EQ(w->Edit2->Text(), Convert("3", "U.S. Dollar", "Canadian Dollar"));
    EXPECT_EQ(other->PrefCombo->Items()->Count(), 2);
    MainForm->RefreshWindows();
    EXPECT_EQ(MainForm->OpenWindows.size(), 1u);
    EXPECT_EQ(MainForm->OpenWindows.count(w), 1u);
}

TEST_F(PreferredWindow, ClosesItselfWhenItsPairOrACurrencyOfItIsGone) {
    TPreferredForm* canada = Open();
    TPreferredForm* euro = Open();
    Pick(euro->PrefCombo, "Dollar - Euro");
    Type(euro->Edit1, "7");
    Source()->RemoveCurrency(Currency("Euro"));  // takes its pairs along
    MainForm->RefreshWindows();
    EXPECT_EQ(MainForm->OpenWindows.size(), 1u);
    EXPECT_EQ(MainForm->OpenWindows.count(canada), 1u);
    EXPECT_EQ(PrefClosedState.PrefSet, 1);  // closed as the user closes it
    EXPECT_EQ(PrefClosedState.Value, "7");
    QApplication::processEvents();
    EXPECT_EQ(MainForm->MDIChildren().size(), 1u);

    // Without any pair: nothing to show, "Error" on typing, closed at the first refresh.
    Source()->RemovePreferred("Dollar - Canada");
    canada->Close();
    TPreferredForm* empty = Open();
    EXPECT_EQ(empty->PrefCombo->Items()->Count(), 0);
    EXPECT_EQ(empty->Caption(), "Preferred Currencies");
    Type(empty->Edit1, "5");
    EXPECT_EQ(empty->Edit2->Text(), "Error");
    MainForm->RefreshWindows();
    EXPECT_TRUE(MainForm->OpenWindows.empty());
}

TEST_F(PreferredWindow, TheLastClosedWindowIsRememberedForOneNewWindow) {
    TPreferredForm* w = Open();
    Pick(w->PrefCombo, "Dollar - Euro");
    Type(w->Edit1, "5");
    w->SetBounds(40, 50, w->Width(), w->Height());
    w->Close();
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->OpenWindows.empty());

    TPreferredForm* next = Open();
    EXPECT_EQ(next->PrefCombo->Text(), "Dollar - Euro");
    EXPECT_EQ(next->Edit1->Text(), "5");
    EXPECT_EQ(next->Edit2->Text(), "4.87");
    EXPECT_EQ(next->TForm::Left(), 40);
    EXPECT_EQ(next->Top(), 50);
    TPreferredForm* third = Open();
    EXPECT_EQ(third->PrefCombo->Text(), "Dollar - Canada");
    EXPECT_EQ(third->Edit1->Text(), "0");

    PrefClosedState.PrefSet = 2;  // the last pair was removed since
    EXPECT_EQ(Open()->PrefCombo->Text(), "Dollar - Canada");
}

TEST_F(PreferredWindow, ReopensFromTheLayoutFileWithItsPairAndAmount) {
    TPreferredForm* w = Open();
    Pick(w->PrefCombo, "Dollar - Euro");
    Type(w->Edit1, "<5&>");
    w->SetBounds(30, 40, w->Width(), w->Height());
    MainForm->Close();
    const std::string file = ReadAll(DataFile("windowSettings.xml"));
    EXPECT_NE(file.find("  <WINDOW>\r\n    <TYPE>Preferred</TYPE>\r\n    <VALUE>&lt;5&amp;&gt;</VALUE>\r\n"
                        "    <PREFSET>1</PREFSET>\r\n    <LEFT>30</LEFT>\r\n    <TOP>40</TOP>\r\n"
                        "    <WIDTH>-1</WIDTH>\r\n    <HEIGHT>-1</HEIGHT>\r\n    <STATE>0</STATE>\r\n"
                        "  </WINDOW>\r\n\r\n"),
              std::string::npos)
        << file;

    Restart();
    ASSERT_EQ(MainForm->OpenWindows.size(), 1u);
    TPreferredForm* again = Newest<TPreferredForm>();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->PrefCombo->Text(), "Dollar - Euro");
    EXPECT_EQ(again->Caption(), "Dollar - Euro");
    EXPECT_EQ(again->Edit1->Text(), "<5&>");
    EXPECT_EQ(again->TForm::Left(), 30);
    EXPECT_EQ(again->Top(), 40);
}

TEST_F(PreferredWindow, LooksRight) {
    MainForm->AppSettings->showCurrDate = true;
    MainForm->AppSettings->showCurrValue = true;
    TPreferredForm* w = Open();
    Pick(w->PrefCombo, "Dollar - Euro");
    Type(w->Edit1, "1234567.89");
    QApplication::processEvents();
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{});
    EXPECT_EQ(w->ClientWidth(), 544);
    EXPECT_EQ(w->ClientHeight(), 128);
    // The pair list lies across the top edge of the box at its left, where
    // the box's caption would be, and "..." beside it; the amounts stay inside.
    ASSERT_EQ(w->PrefCombo->Parent(), w->GroupBox1->Parent());
    ASSERT_EQ(w->Button1->Parent(), w->GroupBox1->Parent());
    const int edge = w->GroupBox1->Top();
    EXPECT_LT(w->PrefCombo->Top(), edge);
    EXPECT_GT(w->PrefCombo->Top() + w->PrefCombo->Height(), edge);
    EXPECT_GT(w->PrefCombo->Left(), w->GroupBox1->Left());
    EXPECT_LT(w->PrefCombo->Left(), w->GroupBox1->Left() + 16);
    EXPECT_EQ(w->Button1->Top(), w->PrefCombo->Top());
    EXPECT_GT(w->Button1->Left(), w->PrefCombo->Left() + w->PrefCombo->Width());
    EXPECT_EQ(w->Edit1->Parent(), w->GroupBox1);
    EXPECT_EQ(w->ActiveControl(), w->Edit1);
    SaveScreenshot(MainForm, "preferred");
}
