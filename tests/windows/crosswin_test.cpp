// Cross-rates windows driven through their widgets, in the running main program.
#include "support/layoutcheck.h"
#include "windows/childwindow.h"
#include "windows/crosswin.h"

namespace {
class CrossWindow : public ChildWindow {
protected:
    TCrossForm* Open() {
        size_t before = MainForm->OpenWindows.size();
        Key(Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(MainForm->OpenWindows.size(), before + 1);
        return Newest<TCrossForm>();
    }
    void PickColumns(TCrossForm* w, const std::vector<std::string>& names) {
        for (int k = 1; k <= 4; ++k) Pick(w->Column(k), names[static_cast<size_t>(k - 1)]);
    }
    // Every cell off the diagonal: one unit of its column's currency in its row's.
    void ExpectCellsComputed(TCrossForm* w) {
        for (int r = 1; r <= 4; ++r) {
            for (int c = 1; c <= 4; ++c) {
                if (r == c) continue;
                EXPECT_EQ(w->Cell(r, c)->Text(), Convert("1", w->Column(c)->Text().c_str(), w->Row(r)->Text().c_str()))
                    << "row " << r << ", column " << c;
            }
        }
    }
    void ExpectRowsFollowColumns(TCrossForm* w) {
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(w->Row(k)->Text(), w->Column(k)->Text()) << k;
    }
};
}  // namespace

TEST_F(CrossWindow, ACellIsOneColumnUnitInTheRowCurrency) {
    TCrossForm* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Caption(), "Currency Cross Rates");
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(w->Column(k)->Items()->Count(), 11);  // the offered currencies
        EXPECT_EQ(w->Column(k)->Text(), "Australian Dollar");
        EXPECT_EQ(w->Row(k)->Text(), "Australian Dollar");
        EXPECT_FALSE(w->Cell(k, k)->Enabled());
    }
    EXPECT_EQ(w->Edit2->Text(), "1.00");

    PickColumns(w, {"U.S. Dollar", "Euro", "Japanese Yen", "U.S. Dollar"});
    ExpectRowsFollowColumns(w);
    EXPECT_EQ(w->Edit5->Text(), "0.97");    // row 2, column 1: one dollar in euros
    EXPECT_EQ(w->Edit2->Text(), "1.03");    // row 1, column 2: the reverse
    EXPECT_EQ(w->Edit9->Text(), "156.36");  // row 3, column 1: one dollar in yen
    EXPECT_EQ(w->Edit4->Text(), "1.00");    // the same currency in two columns
    EXPECT_EQ(w->Edit13->Text(), "1.00");
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(w->Cell(k, k)->Text(), "1");  // never written
    ExpectCellsComputed(w);
}

TEST_F(CrossWindow, AChoiceMirrorsAndRewritesOnlyItsRowAndColumn) {
    TCrossForm* w = Open();
    PickColumns(w, {"U.S. Dollar", "Euro", "Japanese Yen", "Swiss Franc"});
    auto mark = [&] {
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 4; ++c)
                if (r != c) w->Cell(r, c)->SetText("x");
    };
    auto expectRewritten = [&](int k) {
        for (int r = 1; r <= 4; ++r) {
            for (int c = 1; c <= 4; ++c) {
                if (r == c) continue;
                EXPECT_EQ(w->Cell(r, c)->Text() != "x", r == k || c == k) << r << "," << c;
            }
        }
    };
    mark();
    Pick(w->ComboBox7, "Canadian Dollar");  // row 3
    EXPECT_EQ(w->ComboBox3->Text(), "Canadian Dollar");
    expectRewritten(3);
    mark();
    Pick(w->ComboBox2, "U.K. Pound Sterling");  // column 2
    EXPECT_EQ(w->ComboBox6->Text(), "U.K. Pound Sterling");
    expectRewritten(2);
    ExpectRowsFollowColumns(w);
}

TEST_F(CrossWindow, ARefreshKeepsTheChosenNamesAndReplacesAnUnselectedOne) {
    TCrossForm* w = Open();
    PickColumns(w, {"Canadian Dollar", "Euro", "Swiss Franc", "U.S. Dollar"});
    Currency("Euro")->SetSelected(false);
    Currency("Brazilian Real")->SetSelected(true);
    MainForm->RefreshWindows();
    EXPECT_EQ(w->ComboBox1->Text(), "Canadian Dollar");
    EXPECT_EQ(w->ComboBox2->Text(), "Australian Dollar");
    EXPECT_EQ(w->ComboBox3->Text(), "Swiss Franc");  // though its position has changed
    EXPECT_EQ(w->ComboBox4->Text(), "U.S. Dollar");
    EXPECT_EQ(w->ComboBox5->Items()->IndexOf("Brazilian Real"), 1);
    EXPECT_EQ(w->ComboBox8->Items()->IndexOf("Euro"), -1);
    ExpectRowsFollowColumns(w);
    ExpectCellsComputed(w);

    // Nothing offered: empty lists and cells, the diagonal keeps its "1", the window stays.
    for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) it.Next()->SetSelected(false);
    MainForm->RefreshWindows();
    EXPECT_EQ(MainForm->OpenWindows.count(w), 1u);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(w->Row(r)->Items()->Count(), 0);
        for (int c = 1; c <= 4; ++c) EXPECT_EQ(w->Cell(r, c)->Text(), r == c ? "1" : "");
    }
}

TEST_F(CrossWindow, TheLastClosedWindowIsRememberedForOneNewWindow) {
    TCrossForm* w = Open();
    PickColumns(w, {"U.S. Dollar", "Euro", "Japanese Yen", "Swiss Franc"});
    w->SetBounds(25, 35, w->Width(), w->Height());
    w->Close();
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->OpenWindows.empty());
    EXPECT_EQ(CrossClosedState.One, 10);

    TCrossForm* next = Open();
    EXPECT_EQ(next->ComboBox1->Text(), "U.S. Dollar");
    EXPECT_EQ(next->ComboBox8->Text(), "Swiss Franc");
    EXPECT_EQ(next->Left(), 25);
    EXPECT_EQ(next->Top(), 35);
    ExpectCellsComputed(next);
    EXPECT_EQ(Open()->ComboBox1->Text(), "Australian Dollar");

    // A position beyond the list leaves that column and row empty until the next refresh.
    CrossClosedState.One = 0;
    CrossClosedState.Four = 30;
    TCrossForm* short_ = Open();
    EXPECT_EQ(short_->ComboBox4->ItemIndex(), -1);
    EXPECT_EQ(short_->ComboBox8->ItemIndex(), -1);
    EXPECT_EQ(short_->Edit4->Text(), "");
    EXPECT_EQ(short_->Edit13->Text(), "");
    MainForm->RefreshWindows();
    EXPECT_EQ(short_->ComboBox4->Text(), "Australian Dollar");
    EXPECT_EQ(short_->Edit4->Text(), "1.00");
}

TEST_F(CrossWindow, ReopensFromTheLayoutFileWithItsCurrencies) {
    TCrossForm* w = Open();
    PickColumns(w, {"U.S. Dollar", "Euro", "Japanese Yen", "Swiss Franc"});
    w->SetBounds(20, 30, w->Width(), w->Height());
    MainForm->Close();
    const std::string file = ReadAll(DataFile("windowSettings.xml"));
    EXPECT_NE(file.find("  <WINDOW>\r\n    <TYPE>Cross</TYPE>\r\n    <VALUE>1</VALUE>\r\n    <ONE>10</ONE>\r\n"
                        "    <TWO>4</TWO>\r\n    <THREE>5</THREE>\r\n    <FOUR>8</FOUR>\r\n    <LEFT>20</LEFT>\r\n"
                        "    <TOP>30</TOP>\r\n    <WIDTH>-1</WIDTH>\r\n    <HEIGHT>-1</HEIGHT>\r\n"
                        "    <STATE>0</STATE>\r\n  </WINDOW>\r\n\r\n"),
              std::string::npos)
        << file;

    Restart();
    ASSERT_EQ(MainForm->OpenWindows.size(), 1u);
    TCrossForm* again = Newest<TCrossForm>();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->ComboBox1->Text(), "U.S. Dollar");
    EXPECT_EQ(again->ComboBox2->Text(), "Euro");
    EXPECT_EQ(again->ComboBox3->Text(), "Japanese Yen");
    EXPECT_EQ(again->ComboBox4->Text(), "Swiss Franc");
    ExpectRowsFollowColumns(again);
    ExpectCellsComputed(again);
    EXPECT_EQ(again->Left(), 20);
    EXPECT_EQ(again->Top(), 30);
}

TEST_F(CrossWindow, LooksRight) {
    TCrossForm* w = Open();
    PickColumns(w, {"Euro", "U.S. Dollar", "Japanese Yen", "Swiss Franc"});
    QApplication::processEvents();
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{});
    EXPECT_EQ(w->ClientWidth(), 681);
    EXPECT_EQ(w->ClientHeight(), 184);
    SaveScreenshot(MainForm, "cross");
}
