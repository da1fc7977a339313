// The windows' currency and pair lists, filled from a rate file of our own
// whose names come in no order: each list takes all its entries in one
// insertion (one sorted insertion per name costs the square of their number),
// and holds exactly the offered names, sorted ignoring letter case.
#include "support/datafile.h"
#include "windows/childwindow.h"
#include "windows/crosswin.h"
#include "windows/preferredsetwin.h"
#include "windows/preferredwin.h"
#include "windows/rateswin.h"
#include "windows/worldwin.h"

#include <map>
#include <memory>

namespace {
class ListFilling : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        currencies = ScatteredCurrencies(300);
        pairs = ScatteredPairs(currencies, 60);
        WriteAll(DataFile("Pacific.XML"), DataFileText(currencies, pairs));
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        Start();
        offered = OfferedNames(currencies);
        for (const FilePair& p : pairs) pairNames.push_back(p.name);
    }
    void Watch(const std::string& name, TWinControl* list) { watched[name] = std::make_unique<Insertions>(list); }
    // Each of these watched lists was filled once since, with exactly these names.
    void ExpectFilled(const std::vector<std::string>& lists, const std::vector<std::string>& names) {
        for (const std::string& name : lists) ExpectFilledOnce(*watched.at(name), names, name);
    }
    std::vector<std::string> Watching() const {
        std::vector<std::string> out;
        for (const auto& entry : watched) out.push_back(entry.first);
        return out;
    }

    std::vector<FileCurrency> currencies;
    std::vector<FilePair> pairs;
    std::vector<std::string> offered, pairNames;
    std::map<std::string, std::unique_ptr<Insertions>> watched;
};
}  // namespace

TEST_F(ListFilling, WorldCrossAndRatesWindowsFillEachCurrencyListInOneGo) {
    Key(Qt::Key_W, Qt::ControlModifier);
    Key(Qt::Key_O, Qt::ControlModifier);
    Key(Qt::Key_R, Qt::ControlModifier);
    TWorldForm* world = Newest<TWorldForm>();
    TCrossForm* cross = Newest<TCrossForm>();
    TRatesForm* rates = MainForm->RatesWindow;
    ASSERT_TRUE(world && cross && rates);
    EXPECT_EQ(world->ComboBox1->Text(), "aeibqg 48");  // the alphabetically first, chosen on opening
    Watch("World left", world->ComboBox1);
    Watch("World right", world->ComboBox2);
    TComboBox* crossLists[] = {cross->ComboBox1, cross->ComboBox2, cross->ComboBox3, cross->ComboBox4,
                               cross->ComboBox5, cross->ComboBox6, cross->ComboBox7, cross->ComboBox8};
    for (int k = 0; k < 8; ++k) Watch("Cross " + std::to_string(k + 1), crossLists[k]);
    Watch("Rates base", rates->ComboBox1);
    MainForm->RefreshWindows();  // every window refills its lists
    ExpectFilled(Watching(), offered);
    EXPECT_EQ(rates->ListView1->Count(), static_cast<int>(offered.size()));
    EXPECT_EQ(rates->ListView2->Count(), static_cast<int>(currencies.size() - offered.size()));
    EXPECT_EQ(rates->ComboBox1->Text(), "U.S. Dollar");
    EXPECT_EQ(world->ComboBox1->Text(), "aeibqg 48");  // the choices stay
}

TEST_F(ListFilling, ThePreferredWindowAndThePairEditorFillTheirListsInOneGo) {
    Key(Qt::Key_P, Qt::ControlModifier);
    TPreferredForm* preferred = Newest<TPreferredForm>();
    ASSERT_NE(preferred, nullptr);
    Watch("Preferred pairs", preferred->PrefCombo);
    Watch("Editor pairs", PrefSetForm->PrefListBox);
    Watch("Editor left", PrefSetForm->ComboBox1);
    Watch("Editor right", PrefSetForm->ComboBox2);
    dialogs.QueueModal([&](TForm*) {
        ExpectFilled({"Editor pairs"}, pairNames);  // as the editor opened
        ExpectFilled({"Editor left", "Editor right"}, offered);
        QTest::mouseClick(PrefSetForm->OkButton->Handle(), Qt::LeftButton);
    });
    QTest::mouseClick(preferred->Button1->Handle(), Qt::LeftButton);
    ExpectFilled({"Preferred pairs"}, pairNames);  // refilled after the editor closed
}
