// The pair editor, opened as the user opens it: with the "..." button of a
// Preferred window, and worked while it is shown.
#include "support/layoutcheck.h"
#include "windows/childwindow.h"
#include "windows/preferredsetwin.h"
#include "windows/preferredwin.h"

#include <algorithm>

namespace {
class PairEditor : public ChildWindow {
protected:
    void EditPairs(std::function<void(TPrefSetForm*)> work) {
        if (!window) {
            Key(Qt::Key_P, Qt::ControlModifier);
            window = Newest<TPreferredForm>();
            ASSERT_NE(window, nullptr);
        }
        bool ran = false;
        dialogs.QueueModal([&](TForm* f) {
            ran = true;
            work(static_cast<TPrefSetForm*>(f));
        });
        Click(window->Button1);
        EXPECT_TRUE(ran);
    }
    // Typed key by key, also letters that have no key of their own.
    static void TypeText(TEdit* edit, const std::string& text) {
        for (char32_t c : QString::fromStdString(text).toUcs4())
            QTest::sendKeyEvent(QTest::Click, edit->Handle(), Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                Qt::NoModifier);
    }
    static std::string Chosen(TPrefSetForm* e) {
        int i = e->PrefListBox->ItemIndex();
        return i >= 0 ? e->PrefListBox->Items()->Get(i) : "(none)";
    }
    bool Said(const std::string& text) {
        std::vector<std::string> texts = dialogs.Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    TPreferredForm* window = nullptr;
};
}  // namespace

TEST_F(PairEditor, NewTakesTheFirstFreeUntitledNumberAndTheFirstOfferedCurrency) {
    Source()->AddPreferred("Untitled 1", Currency("Euro"), Currency("Euro"));
    Source()->AddPreferred("untitled 3", Currency("Euro"), Currency("Euro"));  // case does not matter
    EditPairs([&](TPrefSetForm* e) {
        Click(e->NewButton);
        EXPECT_EQ(e->Edit1->Text(), "Untitled 2");
        EXPECT_EQ(Chosen(e), "Untitled 2");
        EXPECT_EQ(e->ComboBox1->Text(), "Australian Dollar");
        EXPECT_EQ(e->ComboBox2->Text(), "Australian Dollar");
        EXPECT_TRUE(e->Edit1->Enabled());
        PrefItem* added = Source()->FindPreferred("Untitled 2");
        ASSERT_NE(added, nullptr);  // in the source at once
        EXPECT_EQ(added->GetFirst(), Currency("Australian Dollar"));
        EXPECT_EQ(added->GetSecond(), Currency("Australian Dollar"));
        Click(e->NewButton);
        EXPECT_EQ(e->Edit1->Text(), "Untitled 4");
        Click(e->OkButton);
        EXPECT_EQ(e->ModalResult(), mrOk);
    });
    EXPECT_EQ(PairNames(), (std::vector<std::string>{"Dollar - Euro", "Dollar - Canada", "Untitled 1", "untitled 3",
                                                     "Untitled 2", "Untitled 4"}));
    EXPECT_EQ(window->Caption(), "Untitled 4");  // the pair chosen last
}

TEST_F(PairEditor, ChangesGoIntoThePairAtOnceAndARenamedEntryStaysChosen) {
    EditPairs([&](TPrefSetForm* e) {
        EXPECT_EQ(Entries(e->PrefListBox->Items()), (std::vector<std::string>{"Dollar - Canada", "Dollar - Euro"}));
        ClickRow(e->PrefListBox, 1);
        EXPECT_EQ(e->Edit1->Text(), "Dollar - Euro");
        EXPECT_EQ(e->ComboBox1->Text(), "U.S. Dollar");
        EXPECT_EQ(e->ComboBox2->Text(), "Euro");
        PrefItem* pair = e->Current;
        ASSERT_EQ(pair, Source()->FindPreferred("Dollar - Euro"));
        Type(e->Edit1, "Bucks - Euro");
        EXPECT_EQ(Entries(e->PrefListBox->Items()), (std::vector<std::string>{"Bucks - Euro", "Dollar - Canada"}));
        EXPECT_EQ(Chosen(e), "Bucks - Euro");
        EXPECT_STREQ(pair->GetName(), "Bucks - Euro");
        Pick(e->ComboBox1, "Swiss Franc");
        Pick(e->ComboBox2, "Japanese Yen");
        EXPECT_EQ(pair->GetFirst(), Currency("Swiss Franc"));
        EXPECT_EQ(pair->GetSecond(), Currency("Japanese Yen"));

        // The field keeps what the pair keeps: 31 characters.
        Type(e->Edit1, std::string(40, 'x'));
        EXPECT_EQ(e->Edit1->Text(), std::string(31, 'x'));
        TypeText(e->Edit1, "\xC3\xA9");  // no room left
        EXPECT_EQ(e->Edit1->Text(), std::string(31, 'x'));
        std::string wide;  // characters of four bytes, two UTF-16 units each
        for (int i = 0; i < 40; ++i) wide += "𝔘";
        static_cast<QLineEdit*>(e->Edit1->Handle())->selectAll();
        TypeText(e->Edit1, wide);
        EXPECT_EQ(e->Edit1->Text(), wide.substr(0, 31 * 4));
        EXPECT_EQ(pair->GetName(), e->Edit1->Text());
        EXPECT_EQ(Chosen(e), e->Edit1->Text());
        Click(e->OkButton);
    });
    std::string wide;
    for (int i = 0; i < 31; ++i) wide += "𝔘";
    EXPECT_EQ(window->PrefCombo->Text(), wide);
    EXPECT_EQ(window->Label1->Caption(), "Swiss Franc:");
    EXPECT_EQ(window->Label3->Caption(), "Japanese Yen:");
}

TEST_F(PairEditor, RemovingTakesTheFirstRemainingPairButNeverTheLast) {
    EditPairs([&](TPrefSetForm* e) {
        ClickRow(e->PrefListBox, 1);
        Click(e->RemoveButton);
        EXPECT_EQ(Entries(e->PrefListBox->Items()), std::vector<std::string>{"Dollar - Canada"});
        EXPECT_EQ(Chosen(e), "Dollar - Canada");
        EXPECT_EQ(e->Edit1->Text(), "Dollar - Canada");
        EXPECT_EQ(PairNames(), std::vector<std::string>{"Dollar - Canada"});
        Click(e->RemoveButton);
        EXPECT_TRUE(Said("Can't delete last item. Add new ones first."));
        EXPECT_EQ(PairNames(), std::vector<std::string>{"Dollar - Canada"});
        EXPECT_EQ(e->PrefListBox->Items()->Count(), 1);
        Click(e->OkButton);
    });
}

TEST_F(PairEditor, OkIsRefusedWhileASideShowsNoCurrency) {
    Currency("Euro")->SetSelected(false);
    EditPairs([&](TPrefSetForm* e) {
        ClickRow(e->PrefListBox, 1);
        EXPECT_EQ(e->ComboBox1->Text(), "U.S. Dollar");
        EXPECT_EQ(e->ComboBox2->Text(), "");  // Euro is no longer offered
        Click(e->OkButton);
        EXPECT_TRUE(Said("Select a left and right currency."));
        EXPECT_EQ(e->ModalResult(), mrNone);
        Pick(e->ComboBox2, "Swiss Franc");
        Click(e->OkButton);
        EXPECT_EQ(e->ModalResult(), mrOk);
    });
    EXPECT_EQ(Source()->FindPreferred("Dollar - Euro")->GetSecond(), Currency("Swiss Franc"));
    EXPECT_EQ(window->Caption(), "Dollar - Euro");
    EXPECT_EQ(window->Label3->Caption(), "Swiss Franc:");
}

TEST_F(PairEditor, WithNoCurrencyOfferedOkStillCloses) {
    for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) it.Next()->SetSelected(false);
    EditPairs([&](TPrefSetForm* e) {
        EXPECT_EQ(e->ComboBox1->Items()->Count(), 0);
        Click(e->NewButton);  // makes no pair: there is no currency to give it
        EXPECT_EQ(Chosen(e), "Untitled 1");
        EXPECT_FALSE(e->Edit1->Enabled());
        EXPECT_EQ(e->Edit1->Text(), "");
        EXPECT_TRUE(e->OkButton->Enabled());
        Click(e->OkButton);
        EXPECT_EQ(e->ModalResult(), mrOk);
    });
    EXPECT_EQ(PairNames().size(), 2u);
    EXPECT_TRUE(dialogs.Texts().empty());

    // Neither a pair nor a currency: the list is empty and OK is still the way out.
    Source()->RemovePreferred("Dollar - Euro");
    Source()->RemovePreferred("Dollar - Canada");
    EditPairs([&](TPrefSetForm* e) {
        EXPECT_EQ(e->PrefListBox->Items()->Count(), 0);
        EXPECT_FALSE(e->ComboBox1->Enabled());
        EXPECT_TRUE(e->OkButton->Enabled());
        Click(e->OkButton);
        EXPECT_EQ(e->ModalResult(), mrOk);
    });
    EXPECT_TRUE(dialogs.Texts().empty());
}

TEST_F(PairEditor, LooksRight) {
    EditPairs([&](TPrefSetForm* e) {
        QApplication::processEvents();
        EXPECT_EQ(LayoutProblems(e), std::vector<std::string>{});
        EXPECT_EQ(e->ClientWidth(), 384);
        EXPECT_EQ(e->ClientHeight(), 219);
        EXPECT_EQ(e->BorderIcons(), 0);  // no close box
        EXPECT_EQ(e->Caption(), "Preferred Currency Settings");
        SaveScreenshot(e, "prefset");
        Click(e->OkButton);
    });
}
