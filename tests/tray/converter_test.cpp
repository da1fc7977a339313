// The converter window, driven through its widgets in the running tray program.
#include "platform/sysutils.h"
#include "support/datafile.h"
#include "support/layoutcheck.h"
#include "support/listwatch.h"
#include "tray/trayfixture.h"

#include <QApplication>

#include <algorithm>

namespace {
class Converter : public TrayProgram {
protected:
    void SetUp() override {
        TrayProgram::SetUp();
        Ini("tallyvane2.ini", "[Currency]\r\nSource=1\r\nuseThousand=1\r\n");
    }
    // Shows the window as a left click on the icon does.
    TForm2* Open() {
        Icon()->Click(mbLeft);
        EXPECT_TRUE(Form2->Visible());
        return Form2;
    }
};
}  // namespace

TEST_F(Converter, FirstShowTakesTheFirstNameOnBothSidesAndZero) {
    Start();
    TForm2* w = Open();
    EXPECT_EQ(w->ComboBox1->Items()->Count(), 11);  // the selected currencies only, sorted
    EXPECT_EQ(w->ComboBox1->Text(), "Australian Dollar");
    EXPECT_EQ(w->ComboBox2->Text(), "Australian Dollar");
    EXPECT_EQ(w->Caption(), "Australian Dollar -> Australian Dollar");
    EXPECT_EQ(w->Edit1->Text(), "0");
    EXPECT_EQ(w->Edit2->Text(), "0");
    QApplication::processEvents();
    EXPECT_TRUE(w->Edit1->Focused());
    EXPECT_EQ(w->Edit1->SelLength(), 1);
    EXPECT_EQ(w->FormStyle(), fsStayOnTop);
    EXPECT_EQ(w->BorderIcons(), biSystemMenu);
}

TEST_F(Converter, TypingOnEitherSideConvertsIntoTheOtherOnly) {
    Start();
    TForm2* w = Open();
    Pick(w->ComboBox1, "U.S. Dollar");
    Pick(w->ComboBox2, "Euro");
    EXPECT_EQ(w->Caption(), "U.S. Dollar -> Euro");
    int left = 0, right = 0;
    TNotifyEvent leftChange = w->Edit1->OnChange, rightChange = w->Edit2->OnChange;
    w->Edit1->OnChange = [&](TObject* s) {
        ++left;
        leftChange(s);
    };
    w->Edit2->OnChange = [&](TObject* s) {
        ++right;
        rightChange(s);
    };
    Type(w->Edit1, "12");
    EXPECT_EQ(left, 2);  // once per key
    EXPECT_EQ(right, 0);  // no echo back
    EXPECT_EQ(w->Edit1->Text(), "12");
    EXPECT_EQ(w->Edit2->Text(), Amount("12", "U.S. Dollar", "Euro"));
    Type(w->Edit2, "1000");
    EXPECT_EQ(right, 4);
    EXPECT_EQ(left, 2);
    EXPECT_EQ(w->Edit2->Text(), "1000");
    EXPECT_EQ(w->Edit1->Text(), Amount("1000", "Euro", "U.S. Dollar"));
    EXPECT_NE(w->Edit1->Text().find(','), std::string::npos);  // thousands grouped
}

TEST_F(Converter, AnotherCurrencyRecomputesFromTheLeftAndRewritesIt) {
    Start();
    TForm2* w = Open();
    Pick(w->ComboBox1, "Euro");
    Type(w->Edit1, "100");
    Pick(w->ComboBox2, "Japanese Yen");
    const std::string yen = Amount("100", "Euro", "Japanese Yen");
    EXPECT_EQ(w->Edit2->Text(), yen);
    EXPECT_EQ(w->Edit1->Text(), Amount(yen, "Japanese Yen", "Euro"));
    EXPECT_EQ(w->Edit1->Text().substr(0, 4), "100.");  // in number format, maybe off in the last place
    Pick(w->ComboBox1, "Swiss Franc");
    EXPECT_EQ(w->Caption(), "Swiss Franc -> Japanese Yen");
}

TEST_F(Converter, ButtonsGoThroughTheClipboard) {
    Start();
    TForm2* w = Open();
    Pick(w->ComboBox2, "Euro");
    Clipboard()->SetAsText("250");
    Click(w->BitBtn3);  // "P&aste" on the right converts into the left
    EXPECT_EQ(w->Edit2->Text(), "250");
    EXPECT_EQ(w->Edit1->Text(), Amount("250", "Euro", "Australian Dollar"));
    Click(w->BitBtn1);
    EXPECT_EQ(Clipboard()->AsText(), w->Edit1->Text());
    Clipboard()->SetAsText("7");
    Click(w->BitBtn2);
    EXPECT_EQ(w->Edit1->Text(), "7");
    EXPECT_EQ(w->Edit2->Text(), Amount("7", "Australian Dollar", "Euro"));
    Click(w->BitBtn4);
    EXPECT_EQ(Clipboard()->AsText(), w->Edit2->Text());
    Click(w->BitBtn5);
    EXPECT_EQ(w->Edit1->Text(), "0");
    EXPECT_EQ(w->Edit2->Text(), "0");
    QApplication::processEvents();
    EXPECT_TRUE(w->Edit1->Focused());
    EXPECT_EQ(w->Edit1->SelLength(), 1);
}

TEST_F(Converter, TheCloseBoxKeepsPlaceAndNamesHidingKeepsOnlyThePlace) {
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nHotKey=32833\r\n");
    Start();
    TForm2* w = Open();
    Pick(w->ComboBox1, "Euro");
    Pick(w->ComboBox2, "Swiss Franc");
    Type(w->Edit1, "3");
    w->SetBounds(40, 50, w->Width(), w->Height());
    w->Close();
    PocketvaneSettings* stored = TrayMainForm->TraySettings;
    EXPECT_EQ(stored->Left, 40);
    EXPECT_EQ(stored->Top, 50);
    EXPECT_EQ(stored->LeftSelected, "Euro");
    EXPECT_EQ(stored->RightSelected, "Swiss Franc");

    Open();
    EXPECT_EQ(w->Caption(), "Euro -> Swiss Franc");
    EXPECT_EQ(w->Edit1->Text(), "3");  // the amount survives
    Pick(w->ComboBox1, "Japanese Yen");
    w->SetBounds(60, 70, w->Width(), w->Height());
    hotKeys.Press(MOD_ALT, 'A');
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(stored->Left, 60);
    EXPECT_EQ(stored->LeftSelected, "Euro");
    hotKeys.Press(MOD_ALT, 'A');
    EXPECT_EQ(w->ComboBox1->Text(), "Euro");  // the names stored at the last close
    EXPECT_EQ(w->Left(), 60);
    EXPECT_EQ(w->Top(), 70);

    // The next start places the window and selects the names, ignoring case.
    w->Close();
    TrayMainForm->Exit1->Click();
    Quit();
    std::string ini = ReadAll(folder.File("pocketvane.ini"));
    EXPECT_NE(ini.find("Left=60\r\nTop=70\r\nleftSelected=Euro\r\nrightSelected=Swiss Franc\r\n"), std::string::npos);
    Ini("pocketvane.ini", "[PocketvaneProgram]\r\nLeft=15\r\nTop=25\r\nleftSelected=EURO\r\nrightSelected=Gone\r\n");
    Start();
    EXPECT_EQ(Form2->Left(), 15);
    Open();
    EXPECT_EQ(Form2->ComboBox1->Text(), "Euro");
    EXPECT_EQ(Form2->ComboBox2->Text(), "Australian Dollar");
    EXPECT_EQ(Form2->Top(), 25);
}

TEST_F(Converter, LooksRight) {
    Start();
    TForm2* w = Open();
    Pick(w->ComboBox1, "U.K. Pound Sterling");
    Pick(w->ComboBox2, "Japanese Yen");
    Type(w->Edit1, "1234.5");
    QApplication::processEvents();
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{});
    SaveScreenshot(w, "pocketvane-converter");
}

TEST_F(Converter, BothListsTakeEveryOfferedNameInOneGo) {
    // Names in no order: one sorted insertion per name would cost the square
    // of their number, so each list takes them all in one insertion.
    const std::vector<FileCurrency> currencies = ScatteredCurrencies(300);
    WriteAll(DataFile("IMF.XML"), DataFileText(currencies, {}, "IMF"));
    Start();
    Insertions left(Form2->ComboBox1), right(Form2->ComboBox2);
    Open();
    for (const Insertions* list : {&left, &right}) {
        ExpectFilledOnce(*list, OfferedNames(currencies));
        auto* combo = static_cast<TComboBox*>(list->list);
        EXPECT_EQ(combo->Text(), combo->Items()->Get(0));  // the first name, as on every first start
    }
}
