// The rates window and the currency editor driven through their widgets, in
// the running main program.
#include "support/layoutcheck.h"
#include "windows/childwindow.h"
#include "windows/editcurrencywin.h"
#include "windows/rateswin.h"
#include "windows/worldwin.h"

#include <QMenu>
#include <QTimer>
#include <QTreeView>

namespace {
using Names = std::vector<std::string>;

class RatesWindow : public ChildWindow {
protected:
    TRatesForm* Open() {
        Key(Qt::Key_R, Qt::ControlModifier);
        return MainForm->RatesWindow;
    }
    TWorldForm* OpenWorld() {
        Key(Qt::Key_W, Qt::ControlModifier);
        return Newest<TWorldForm>();
    }
    static Names Rows(TListView* view, int column = -1) {
        Names out;
        for (int i = 0; i < view->Count(); ++i)
            out.push_back(column < 0 ? view->Item(i)->Caption() : view->Item(i)->SubItem(column));
        return out;
    }
    static std::string Value(TListView* view, const std::string& name) {
        TListItem* row = view->FindCaption(name);
        return row ? row->SubItem(1) : "(no row)";
    }
    // Clicks each row as the user does, the first alone and the others with
    // Ctrl; `twice` makes the last click a double click.
    static void Choose(TListView* view, const Names& names, bool twice = false) {
        auto* tree = static_cast<QTreeView*>(view->Handle());
        for (size_t i = 0; i < names.size(); ++i) {
            ASSERT_NE(view->FindCaption(names[i]), nullptr) << names[i];
            const QModelIndex row = tree->model()->index(view->FindCaption(names[i])->Index(), 0);
            tree->scrollTo(row);
            QPoint at = tree->visualRect(row).center();
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, i ? Qt::ControlModifier : Qt::NoModifier, at);
        }
        if (twice) {
            QPoint at = tree->visualRect(tree->currentIndex()).center();
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        }
    }
    // Right-clicks the list and picks an entry of its menu.
    static void Popup(TListView* view, const QString& caption) {
        QTimer::singleShot(0, [caption] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (QAction* a : menu->actions())
                if (a->text() == caption) a->trigger();
            menu->close();
        });
        QWidget* viewport = static_cast<QTreeView*>(view->Handle())->viewport();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(viewport, &event);
    }
    // Makes exactly these currencies the offered ones and refreshes.
    void SelectOnly(const Names& names) {
        for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) {
            CurrencyItem* c = it.Next();
            c->SetSelected(std::find(names.begin(), names.end(), c->GetName()) != names.end());
        }
        MainForm->RefreshWindows();
    }
    std::vector<CurrencyItem*> Currencies() {
        std::vector<CurrencyItem*> out;
        for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) out.push_back(it.Next());
        return out;
    }
    // Works the currency editor when the window shows it.
    void Edit(std::function<void(TEditCurrencyForm*)> work) {
        dialogs.QueueModal([work](TForm* f) { work(static_cast<TEditCurrencyForm*>(f)); });
    }
};
}  // namespace

TEST_F(RatesWindow, OpensWithBothListsAndEnablesWhatTheClickedListOffers) {
    TRatesForm* w = Open();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(MainForm->RatesButton->Down());
    EXPECT_EQ(w->Caption(), "Currency Rates - Pacific");
    EXPECT_EQ(w->Width(), 657);
    EXPECT_EQ(w->Height(), 289);
    EXPECT_EQ(Rows(w->ListView1).size(), 11u);
    EXPECT_EQ(Rows(w->ListView1).front(), "Australian Dollar");
    EXPECT_EQ(Value(w->ListView1, "Japanese Yen"), "156.362");
    EXPECT_EQ(w->ListView1->FindCaption("Euro")->SubItem(2), "2025/01/16");
    EXPECT_EQ(Rows(w->ListView2).size(), 21u);
    EXPECT_EQ(w->ComboBox1->Text(), "U.S. Dollar");
    EXPECT_FALSE(w->ToPrefButton->Enabled());
    EXPECT_FALSE(w->FromPrefButton->Enabled());
    EXPECT_FALSE(w->SelectAction->Enabled());

    Choose(w->ListView2, {"Brazilian Real"});
    EXPECT_TRUE(w->ToPrefButton->Enabled());
    EXPECT_FALSE(w->EditButton->Enabled());
    Choose(w->ListView1, {"Euro"});
    EXPECT_TRUE(w->FromPrefButton->Enabled());
    EXPECT_TRUE(w->EditButton->Enabled());
    EXPECT_FALSE(w->ToPrefButton->Enabled());

    // The value column: general number format, the user's decimal separator.
    Currency("Euro")->SetValue(0.5);
    Currency("Japanese Yen")->SetValue(1e-6);
    SetSystemDecimalSeparator(',');
    MainForm->RefreshWindows();
    EXPECT_EQ(Value(w->ListView1, "Euro"), "0,5");
    EXPECT_EQ(Value(w->ListView1, "Japanese Yen"), "1E-6");
    EXPECT_EQ(Value(w->ListView1, "U.S. Dollar"), "1");

    Click(w->ExcelButton);
    EXPECT_EQ(dialogs.ModalForms().size(), 1u);  // the export dialog
}

TEST_F(RatesWindow, TheFilterIsTrimmedAndIgnoresCaseAndAnUnselectedRowShowsUntilTheNextChange) {
    TRatesForm* w = Open();
    Type(w->FilterEdit, "  DOL ");
    EXPECT_EQ(Rows(w->ListView2), (Names{"Brunei Dollar", "New Zealand Dollar", "Singapore Dollar"}));
    EXPECT_EQ(Rows(w->ListView1).size(), 11u);  // the selected list is never filtered
    Choose(w->ListView1, {"Euro"}, true);
    EXPECT_FALSE(Currency("Euro")->IsSelected());
    EXPECT_NE(w->ListView2->FindCaption("Euro"), nullptr);
    Type(w->FilterEdit, " dol");
    EXPECT_EQ(w->ListView2->FindCaption("Euro"), nullptr);
    Type(w->FilterEdit, "   ");
    EXPECT_EQ(Rows(w->ListView2).size(), 22u);
}

TEST_F(RatesWindow, MovingRowsKeepsOneSelectedCurrencyAndTheWorldWindowsFollow) {
    TRatesForm* w = Open();
    TWorldForm* world = OpenWorld();
    Choose(w->ListView2, {"Brazilian Real", "Polish Zloty"});
    Click(w->ToPrefButton);
    EXPECT_TRUE(Currency("Polish Zloty")->IsSelected());
    EXPECT_NE(w->ListView1->FindCaption("Brazilian Real"), nullptr);
    EXPECT_GE(world->ComboBox1->Items()->IndexOf("Polish Zloty"), 0);

    SelectOnly({"Euro", "Japanese Yen", "Swiss Franc"});
    Choose(w->ListView1, {"Euro", "Swiss Franc"});
    Click(w->FromPrefButton);
    EXPECT_EQ(Rows(w->ListView1), (Names{"Japanese Yen"}));
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_EQ(world->ComboBox1->Text(), "Japanese Yen");

    SelectOnly({"Euro", "Japanese Yen", "Swiss Franc"});
    Choose(w->ListView1, {"Euro", "Japanese Yen", "Swiss Franc"});
    Popup(w->ListView1, "&Unselect");
    EXPECT_EQ(Rows(w->ListView1), (Names{"Swiss Franc"}));
    EXPECT_EQ(dialogs.Texts(), (Names{"Can't unselect this currency. You must atleast have 1 selected currency."}));
    Choose(w->ListView1, {"Swiss Franc"});
    Click(w->FromPrefButton);
    EXPECT_EQ(Rows(w->ListView1), (Names{"Swiss Franc"}));
    EXPECT_EQ(dialogs.Texts().size(), 2u);

    Choose(w->ListView2, {"Euro"});
    Popup(w->ListView2, "&Select");
    EXPECT_TRUE(Currency("Euro")->IsSelected());
}

TEST_F(RatesWindow, RefusalsComeInTheirOrderAndTheDefaultUnitStays) {
    TRatesForm* w = Open();
    Choose(w->ListView1, {"U.S. Dollar"});
    Click(w->EditButton);
    Click(w->DeleteButton);
    Choose(w->ListView1, {"Euro"});
    Click(w->DeleteButton);
    SelectOnly({"Euro"});
    Choose(w->ListView2, {"U.S. Dollar"});
    Popup(w->ListView2, "&Delete");
    Choose(w->ListView1, {"Euro"});
    Click(w->DeleteButton);
    const std::string deleting = "Can't delete U.S. Dollar. Sorry.";
    EXPECT_EQ(dialogs.Texts(), (Names{"Can't edit U.S. Dollar. Sorry.", deleting, deleting, deleting,
                                      "Can't remove last currency. Add some others first."}));
    EXPECT_NE(Currency("U.S. Dollar"), nullptr);
    EXPECT_NE(Currency("Euro"), nullptr);
    EXPECT_TRUE(dialogs.ModalForms().empty());
}

TEST_F(RatesWindow, DeletingTheBaseFromEitherListFallsBackToTheDefaultUnit) {
    TRatesForm* w = Open();
    TWorldForm* world = OpenWorld();
    Pick(world->ComboBox2, "Japanese Yen");
    Pick(w->ComboBox1, "Japanese Yen");
    EXPECT_EQ(Source()->GetPreferredBase(), "Japanese Yen");
    EXPECT_EQ(Value(w->ListView1, "Japanese Yen"), "1");
    EXPECT_EQ(Value(w->ListView1, "U.S. Dollar"), "0.00639541576597895");
    Choose(w->ListView1, {"Japanese Yen"});
    Click(w->DeleteButton);
    EXPECT_EQ(Currency("Japanese Yen"), nullptr);
    EXPECT_EQ(Source()->FindPreferred("Dollar - Yen"), nullptr);  // its pair went with it
    EXPECT_EQ(Source()->GetPreferredBase(), "U.S. Dollar");
    EXPECT_EQ(Value(w->ListView1, "U.S. Dollar"), "1");
    EXPECT_EQ(world->ComboBox2->Text(), "Australian Dollar");

    Pick(w->ComboBox1, "Swiss Franc");
    Choose(w->ListView1, {"Swiss Franc"}, true);  // no longer offered, still the base
    EXPECT_EQ(w->ComboBox1->Text(), "Swiss Franc");
    Choose(w->ListView2, {"Swiss Franc"});
    Popup(w->ListView2, "&Delete");
    EXPECT_EQ(Currency("Swiss Franc"), nullptr);
    EXPECT_EQ(Source()->GetPreferredBase(), "U.S. Dollar");
    EXPECT_EQ(w->ComboBox1->Text(), "U.S. Dollar");
}

TEST_F(RatesWindow, TheBaseListHoldsTheDefaultUnitAndTheBaseAlsoWhenNotOffered) {
    TRatesForm* w = Open();
    Pick(w->ComboBox1, "Euro");
    SelectOnly({"Japanese Yen", "Swiss Franc"});
    EXPECT_EQ(Rows(w->ListView1, 1), (Names{"160.614922533772", "0.93629207793155"}));
    EXPECT_EQ(Entries(w->ComboBox1->Items()), (Names{"Euro", "Japanese Yen", "Swiss Franc", "U.S. Dollar"}));
    EXPECT_EQ(w->ComboBox1->Text(), "Euro");
}

TEST_F(RatesWindow, TheEditorAddsEditsAndCancels) {
    TRatesForm* w = Open();
    TWorldForm* world = OpenWorld();
    const size_t count = Currencies().size();
    Edit([&](TEditCurrencyForm* e) {
        EXPECT_EQ(e->Edit3->Text(), "0");
        EXPECT_EQ(e->RadioButton1->Caption(), "Units for 1 U.S. Dollar");
        EXPECT_EQ(e->RadioButton2->Caption(), "Is value of 1 U.S. Dollar");
        EXPECT_TRUE(e->RadioButton2->Checked());
        Type(e->Edit1, "Testing Crown");
        Type(e->Edit2, "tstxy");
        Type(e->Edit3, "1");
        QTest::keyClick(e->Edit3->Handle(), Qt::Key_Backspace);
        for (const char* bad : {"", "inf", "nan", "0x10", "1e999", "2.5.1", "2,5"}) {
            if (*bad) Type(e->Edit3, bad);
            EXPECT_FALSE(e->OkButton->Enabled()) << bad;
            EXPECT_EQ(e->Label4->Caption(), "Error") << bad;
        }
        Type(e->Edit3, "2.5");
        EXPECT_TRUE(e->OkButton->Enabled());
        EXPECT_EQ(e->Label4->Caption(), "");
        QTest::mouseClick(e->RadioButton1->Handle(), Qt::LeftButton);
        Click(e->OkButton);
    });
    Click(w->AddButton);
    CurrencyItem* added = Currency("Testing Crown");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(Currencies().back(), added);
    EXPECT_EQ(std::string(added->GetIso()), "tst");
    EXPECT_EQ(std::string(added->GetDate()), "User-edited");
    EXPECT_FALSE(added->IsPerUnit());
    EXPECT_EQ(Value(w->ListView1, "Testing Crown"), "0.4");
    EXPECT_GE(world->ComboBox1->Items()->IndexOf("Testing Crown"), 0);

    // Editing keeps the currency's identity and place; its pairs follow a new name.
    CurrencyItem* euro = Currency("Euro");
    Edit([](TEditCurrencyForm* e) {
        EXPECT_EQ(e->Edit3->Text(), "0.973521");
        Type(e->Edit1, "Euro Area");
        Type(e->Edit3, "0.000001");
        Click(e->OkButton);
    });
    Choose(w->ListView1, {"Euro"});
    Click(w->EditButton);
    EXPECT_EQ(Currencies().at(1), euro);
    EXPECT_EQ(std::string(euro->GetName()), "Euro Area");
    EXPECT_EQ(std::string(Source()->FindPreferred("Dollar - Euro")->GetSecond()->GetName()), "Euro Area");
    EXPECT_EQ(Value(w->ListView1, "Euro Area"), "1E-6");
    EXPECT_GE(world->ComboBox1->Items()->IndexOf("Euro Area"), 0);

    Edit([](TEditCurrencyForm* e) {
        Type(e->Edit1, "Other");
        Type(e->Edit2, "OTH");
        Type(e->Edit3, "7");
        QTest::mouseClick(e->RadioButton1->Handle(), Qt::LeftButton);
        Click(e->CancelButton);
    });
    Choose(w->ListView1, {"Euro Area"});
    Click(w->EditButton);
    EXPECT_EQ(std::string(euro->GetName()), "Euro Area");
    EXPECT_EQ(std::string(euro->GetIso()), "EUR");
    EXPECT_TRUE(euro->IsPerUnit());
    EXPECT_EQ(Currencies().size(), count + 1);

    // A renamed base stays the base; a name of 39 characters is kept whole,
    // however many bytes they take.
    const std::string polish = "Złoty polski – nowy (PLN) seria 1995 ąę";
    Pick(w->ComboBox1, "Euro Area");
    Edit([&](TEditCurrencyForm* e) {
        static_cast<QLineEdit*>(e->Edit1->Handle())->selectAll();
        QTest::sendKeyEvent(QTest::Click, e->Edit1->Handle(), Qt::Key_unknown,
                            QString::fromStdString(polish + "xyz"), Qt::NoModifier);
        EXPECT_EQ(e->Edit1->Text(), polish);
        Click(e->OkButton);
    });
    Choose(w->ListView1, {"Euro Area"});
    Click(w->EditButton);
    EXPECT_EQ(std::string(euro->GetName()), polish);
    EXPECT_EQ(Source()->GetPreferredBase(), polish);
    EXPECT_EQ(w->ComboBox1->Text(), polish);
}

TEST_F(RatesWindow, TheEuroCarriesItsLinkedCurrenciesWhichCannotBeEdited) {
    MainForm->Close();  // it writes the settings file, which is replaced here
    Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n[Currency]\r\nSource=1\r\n");
    Restart();
    TRatesForm* w = Open();
    EXPECT_EQ(w->Caption(), "Currency Rates - IMF");
    Currency("German Mark")->SetSelected(true);
    Currency("Irish Pound")->SetSelected(true);
    Currency("Irish Pound")->SetDate("euro linked");
    MainForm->RefreshWindows();
    Choose(w->ListView1, {"German Mark"});
    Click(w->EditButton);
    EXPECT_EQ(dialogs.Texts(), (Names{"Can't edit Euro-linked currencies. Edit the Euro instead."}));
    Edit([](TEditCurrencyForm* e) { Click(e->CancelButton); });
    Choose(w->ListView1, {"Irish Pound"});
    Click(w->EditButton);  // only the exact text refuses
    EXPECT_EQ(dialogs.ModalForms().size(), 1u);

    Edit([](TEditCurrencyForm* e) {
        EXPECT_TRUE(e->RadioButton1->Checked());  // units per
        Type(e->Edit3, "2");
        Click(e->OkButton);
    });
    Choose(w->ListView1, {"Euro"});
    Click(w->EditButton);
    EXPECT_EQ(Value(w->ListView1, "German Mark"), "0.977915");
}

TEST_F(RatesWindow, TheToggleKeepsTheMemoryTheCloseBoxFillsItAndTheLayoutFileReopensIt) {
    TRatesForm* w = Open();
    w->SetBounds(30, 40, 700, 320);
    Key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(MainForm->RatesWindow, nullptr);
    EXPECT_FALSE(MainForm->RatesButton->Down());
    EXPECT_EQ(RatesClosedState.Height, -1);

    w = Open();
    w->SetBounds(30, 40, 700, 320);
    w->Close();
    EXPECT_EQ(MainForm->RatesWindow, nullptr);
    EXPECT_FALSE(MainForm->RatesButton->Down());
    EXPECT_TRUE(MainForm->OpenWindows.empty());
    EXPECT_EQ(RatesClosedState.Height, 320);
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->MDIChildren().empty());

    w = Open();
    EXPECT_EQ(w->Left(), 30);
    EXPECT_EQ(w->Top(), 40);
    EXPECT_EQ(w->Width(), 700);
    EXPECT_EQ(RatesClosedState.Height, -1);  // served once

    // Closing every window (a source switch) leaves the memory alone.
    MainForm->CloseAllWindows();
    EXPECT_EQ(MainForm->RatesWindow, nullptr);
    EXPECT_FALSE(MainForm->RatesButton->Down());
    EXPECT_EQ(RatesClosedState.Height, -1);

    // A remembered size of 0 or less (a hand-edited file) keeps the designed one.
    RatesClosedState = {5, 6, 0, -5};
    w = Open();
    EXPECT_EQ(w->Left(), 5);
    EXPECT_EQ(w->Width(), 657);
    EXPECT_EQ(w->Height(), 289);
    w->SetBounds(12, 14, 690, 310);
    Restart();
    w = MainForm->RatesWindow;
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(MainForm->RatesButton->Down());
    EXPECT_EQ(w->Left(), 12);
    EXPECT_EQ(w->Top(), 14);
    EXPECT_EQ(w->Width(), 690);
    EXPECT_EQ(w->Height(), 310);

    // A layout file naming two rates windows opens one.
    const std::string block = "  <WINDOW>\r\n    <TYPE>Rates</TYPE>\r\n    <LEFT>10</LEFT>\r\n    <TOP>10</TOP>\r\n"
                              "    <WIDTH>-1</WIDTH>\r\n    <HEIGHT>0</HEIGHT>\r\n    <STATE>0</STATE>\r\n  </WINDOW>\r\n";
    MainForm->Close();
    WriteAll(DataFile("windowSettings.xml"), "<WINDOWS>\r\n" + block + block + "</WINDOWS>\r\n");
    Restart();
    EXPECT_EQ(MainForm->OpenWindows.size(), 1u);
    EXPECT_EQ(MainForm->RatesWindow->Width(), 657);
    Key(Qt::Key_R, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(MainForm->MDIChildren().empty());
}

TEST_F(RatesWindow, ADefaultUnitThatNamesNoCurrencyLeavesTheBaseEmpty) {
    MainForm->Close();  // it writes the rate files, which are changed here
    std::string data = ReadAll(DataFile("Pacific.XML"));
    for (const char* tag : {"DEFAULTUNIT", "PREFERREDBASE"}) {
        const std::string from = std::string("<") + tag + ">U.S. Dollar<";
        data.replace(data.find(from), from.size(), std::string("<") + tag + ">Nowhere<");
    }
    WriteAll(DataFile("Pacific.XML"), data);
    Restart();
    TRatesForm* w = Open();
    EXPECT_EQ(w->Base, nullptr);
    EXPECT_EQ(Source()->GetPreferredBase(), "Nowhere");
    EXPECT_EQ(Value(w->ListView1, "Euro"), "0");
    EXPECT_EQ(w->ComboBox1->ItemIndex(), -1);
    Choose(w->ListView1, {"U.S. Dollar"});
    Click(w->DeleteButton);
    EXPECT_EQ(Currency("U.S. Dollar"), nullptr);
    Pick(w->ComboBox1, "Euro");
    EXPECT_EQ(Value(w->ListView1, "Euro"), "1");
}

TEST_F(RatesWindow, LooksRight) {
    QApplication::processEvents();  // the main window takes its full size
    TRatesForm* w = Open();
    EXPECT_NEAR(w->Left() * 2 + w->Width(), MainForm->ClientWidth(), 2);  // centred
    Choose(w->ListView1, {"Euro"});
    EXPECT_EQ(LayoutProblems(w), Names{});
    SaveScreenshot(MainForm, "rates");
    w->SetBounds(0, 0, 100, 100);  // the smallest the window allows
    EXPECT_EQ(LayoutProblems(w), Names{});
    EXPECT_GE(w->ListView1->Width(), 330);
    EXPECT_GE(w->ListView1->Height(), 100);

    Edit([](TEditCurrencyForm* e) {
        EXPECT_EQ(LayoutProblems(e), Names{});
        SaveScreenshot(e, "editcurrency");
        Click(e->CancelButton);
    });
    Click(w->EditButton);
}
