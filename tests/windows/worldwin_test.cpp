// World windows driven through their widgets, in the running main program.
#include "currency/currsource.h"
#include "mainwin/appfixture.h"
#include "support/layoutcheck.h"
#include "windows/worldwin.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>

namespace {
class WorldWindow : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n[Currency]\r\nuseThousand=1\r\n");
        Start();
    }
    TWorldForm* Open() {
        size_t before = MainForm->OpenWindows.size();
        Key(Qt::Key_W, Qt::ControlModifier);
        EXPECT_EQ(MainForm->OpenWindows.size(), before + 1);
        return Newest();
    }
    TWorldForm* Newest() {
        TWorldForm* newest = nullptr;
        for (TForm* f : MainForm->MDIChildren())
            if (auto* w = dynamic_cast<TWorldForm*>(f)) newest = w;
        return newest;
    }
    // As the user picks an entry from the drop-down list.
    void Pick(TComboBox* list, const std::string& name) {
        auto* box = static_cast<QComboBox*>(list->Handle());
        int i = box->findText(QString::fromStdString(name));
        ASSERT_GE(i, 0) << name;
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
    void Type(TEdit* edit, const std::string& text) {
        edit->SetFocus();
        static_cast<QLineEdit*>(edit->Handle())->selectAll();
        QTest::keyClicks(edit->Handle(), QString::fromStdString(text));
    }
    void Click(TButton* b) { QTest::mouseClick(b->Handle(), Qt::LeftButton); }
    CurrencyItem* Currency(const char* name) { return MainForm->CurrentSource->FindCurrency(name); }
};
}  // namespace

TEST_F(WorldWindow, OpensWithTheFirstCurrencyOnBothSides) {
    TWorldForm* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->ComboBox1->Items()->Count(), 11);  // the selected currencies, sorted
    EXPECT_EQ(w->ComboBox1->Text(), "Australian Dollar");
    EXPECT_EQ(w->Caption(), "Australian Dollar -> Australian Dollar");
    EXPECT_EQ(w->Edit1->Text(), "0");
    EXPECT_EQ(w->Edit2->Text(), "0");
    EXPECT_FALSE(w->BitBtn4->Enabled());
    EXPECT_EQ(w->Label1->Caption(), "");
    EXPECT_EQ(w->Label3->Caption(), "");
}

TEST_F(WorldWindow, ConvertsAsTheUserTypesAndSwitchesBack) {
    TWorldForm* w = Open();
    Pick(w->ComboBox1, "U.S. Dollar");
    Pick(w->ComboBox2, "Euro");
    int conversions = 0;
    TNotifyEvent change = w->Edit1->OnChange;
    w->Edit1->OnChange = [&](TObject* s) {
        ++conversions;
        change(s);
    };
    Type(w->Edit1, "1234.5");
    EXPECT_EQ(conversions, 6);  // one per key, no more
    EXPECT_EQ(w->Edit2->Text(), "1,201.81");
    EXPECT_EQ(w->Caption(), "U.S. Dollar -> Euro");
    Click(w->SwitchButton);
    EXPECT_EQ(w->Edit1->Text(), "1,201.81");
    EXPECT_EQ(w->ComboBox1->Text(), "Euro");
    EXPECT_EQ(w->Edit2->Text(), "1,234.50");

    // The user's separators: "," for decimals and "." for thousands.
    MainForm->AppSettings->DecimalSeparator = ',';
    MainForm->AppSettings->ThousandSeparator = '.';
    Type(w->Edit1, "1.000,5");
    EXPECT_EQ(w->Edit2->Text(), "1.027,71");
}

TEST_F(WorldWindow, AMissingCurrencyShowsErrorAndSwitchCarriesIt) {
    TWorldForm* w = Open();
    Pick(w->ComboBox2, "Euro");
    Type(w->Edit1, "10");
    MainForm->CurrentSource->RemoveCurrency(Currency("Euro"));
    Pick(w->ComboBox2, "Japanese Yen");
    Pick(w->ComboBox2, "Euro");  // still listed, no longer in the source
    EXPECT_EQ(w->Edit2->Text(), "Error");
    Click(w->SwitchButton);
    EXPECT_EQ(w->Edit1->Text(), "Error");
    EXPECT_EQ(w->Edit2->Text(), "Error");  // the missing currency is now on the left
    Pick(w->ComboBox1, "Japanese Yen");
    EXPECT_EQ(w->Edit2->Text(), "0");  // "Error" is no number
}

TEST_F(WorldWindow, LabelsFollowTheDisplaySettings) {
    MainForm->AppSettings->showCurrDate = true;
    MainForm->AppSettings->showCurrValue = true;
    TWorldForm* w = Open();
    Pick(w->ComboBox1, "U.S. Dollar");
    Pick(w->ComboBox2, "Euro");
    EXPECT_EQ(w->Label1->Caption(), "1");
    EXPECT_EQ(w->Label3->Caption(), "2025/01/16");
    EXPECT_EQ(w->Label4->Caption(), "0.97");
    EXPECT_EQ(w->Label5->Caption(), "2025/01/16");
    MainForm->AppSettings->showCurrValue = false;
    MainForm->RefreshWindows();
    EXPECT_EQ(w->Label1->Caption(), "");
    EXPECT_EQ(w->Label4->Caption(), "");
}

TEST_F(WorldWindow, ARefreshKeepsTheChoicesByNameOrTakesTheFirst) {
    TWorldForm* w = Open();
    Pick(w->ComboBox1, "Swiss Franc");
    Pick(w->ComboBox2, "Japanese Yen");
    Type(w->Edit1, "100");
    Currency("Japanese Yen")->SetSelected(false);
    Currency("Brazilian Real")->SetSelected(true);
    MainForm->RefreshWindows();
    EXPECT_EQ(w->ComboBox1->Text(), "Swiss Franc");
    EXPECT_EQ(w->ComboBox2->Text(), "Australian Dollar");
    EXPECT_EQ(w->Edit2->Text(), MainForm->CurrentSource->ConvertText("100", Currency("Swiss Franc"),
                                                                     Currency("Australian Dollar")));
    EXPECT_EQ(w->ComboBox1->Items()->IndexOf("Brazilian Real"), 1);
}

TEST_F(WorldWindow, WindowsWithNothingToOfferCloseThemselvesDuringOneRefresh) {
    Open();
    Open();
    Open();
    ASSERT_EQ(MainForm->OpenWindows.size(), 3u);
    for (CurrItr it = MainForm->CurrentSource->GetCurrencies(); it.HasNext();) it.Next()->SetSelected(false);
    MainForm->RefreshWindows();
    EXPECT_TRUE(MainForm->OpenWindows.empty());
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->MDIChildren().empty());
    EXPECT_EQ(WorldClosedState.LeftSet, -1);  // an empty list leaves nothing remembered
}

TEST_F(WorldWindow, TheLastClosedWindowIsRememberedForOneNewWindow) {
    TWorldForm* w = Open();
    Pick(w->ComboBox1, "Euro");
    Pick(w->ComboBox2, "U.S. Dollar");
    Type(w->Edit1, "5");
    w->SetBounds(40, 50, w->Width(), w->Height());
    w->Close();
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->OpenWindows.empty());

    TWorldForm* next = Open();
    EXPECT_EQ(next->ComboBox1->Text(), "Euro");
    EXPECT_EQ(next->ComboBox2->Text(), "U.S. Dollar");
    EXPECT_EQ(next->Edit1->Text(), "5");
    EXPECT_EQ(next->TForm::Left(), 40);
    EXPECT_EQ(next->Top(), 50);
    TWorldForm* third = Open();
    EXPECT_EQ(third->ComboBox1->Text(), "Australian Dollar");
    EXPECT_EQ(third->Edit1->Text(), "0");
}

TEST_F(WorldWindow, CopyPasteAndClearGoThroughTheClipboard) {
    TWorldForm* w = Open();
    Pick(w->ComboBox2, "Euro");
    Clipboard()->SetAsText("250");
    Click(w->BitBtn2);
    EXPECT_EQ(w->Edit1->Text(), "250");
    Click(w->BitBtn3);
    EXPECT_EQ(Clipboard()->AsText(), w->Edit2->Text());
    Click(w->BitBtn1);
    EXPECT_EQ(Clipboard()->AsText(), "250");
    Click(w->ClearButton);
    EXPECT_EQ(w->Edit1->Text(), "0");
    EXPECT_EQ(w->Edit1->SelLength(), 1);
}

TEST_F(WorldWindow, UndockingStandsAloneAndDockingComesBack) {
    TWorldForm* w = Open();
    Click(w->UndockButton);
    EXPECT_EQ(w->UndockButton->Caption(), "&Dock");
    EXPECT_FALSE(MainForm->Visible());
    EXPECT_TRUE(w->Handle()->isWindow());
    EXPECT_FALSE(w->BorderIcons() & biMinimize);
    Click(w->UndockButton);
    EXPECT_EQ(w->UndockButton->Caption(), "Un&dock");
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_FALSE(w->Handle()->isWindow());
    EXPECT_TRUE(w->BorderIcons() & biMinimize);
    // Closing an undocked window brings the main window back.
    Click(w->UndockButton);
    w->Close();
    EXPECT_TRUE(MainForm->Visible());
    EXPECT_EQ(MainForm->Help1->Count(), 6);  // and its second show ran no start-up step
}

TEST_F(WorldWindow, LooksRight) {
    MainForm->AppSettings->showCurrDate = true;
    MainForm->AppSettings->showCurrValue = true;
    TWorldForm* w = Open();
    Pick(w->ComboBox1, "U.K. Pound Sterling");
    Pick(w->ComboBox2, "Japanese Yen");
    Type(w->Edit1, "1234567.89");
    QApplication::processEvents();
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{});
    EXPECT_EQ(w->ClientWidth(), 544);
    EXPECT_EQ(w->ClientHeight(), 128);
    SaveScreenshot(MainForm, "world");
}
