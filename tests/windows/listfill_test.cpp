// The windows' currency and pair lists, filled from a rate file of our own
// whose names come in no order: each list takes all its entries in one
// insertion (one sorted insertion per name costs the square of their number),
// and holds exactly the offered names, sorted ignoring letter case.
#include "platform/sysutils.h"
#include "support/datafile.h"
#include "windows/childwindow.h"
#include "windows/crosswin.h"
#include "windows/preferredsetwin.h"
#include "windows/preferredwin.h"
#include "windows/rateswin.h"
#include "windows/worldwin.h"

#include <QAbstractItemModel>

#include <algorithm>
#include <map>

namespace {
bool IgnoringCase(const std::string& a, const std::string& b) { return CompareText(a, b) < 0; }

class ListFilling : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        currencies = ScatteredCurrencies(300);
        pairs = ScatteredPairs(currencies, 60);
        WriteAll(DataFile("Pacific.XML"), DataFileText(currencies, pairs));
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        Start();
        for (const FileCurrency& c : currencies)
            if (c.selected) offered.push_back(c.name);
        for (const FilePair& p : pairs) pairNames.push_back(p.name);
    }
    template <typename T>
    T* Newest() {
        T* newest = nullptr;
        for (TForm* f : MainForm->MDIChildren())
            if (auto* w = dynamic_cast<T*>(f)) newest = w;
        return newest;
    }
    // Counts from now on the insertions into the list's model.
    void Watch(const std::string& name, TWinControl* list) {
        QAbstractItemModel* model = qobject_cast<QComboBox*>(list->Handle())
                                        ? static_cast<QComboBox*>(list->Handle())->model()
                                        : static_cast<QListWidget*>(list->Handle())->model();
        watched[name].list = list;
        QObject::connect(model, &QAbstractItemModel::rowsInserted, model,
                         [this, name](const QModelIndex&, int, int) { ++watched[name].insertions; });
    }
    static TStrings* Items(TWinControl* list) {
        if (auto* c = dynamic_cast<TComboBox*>(list)) return c->Items();
        return static_cast<TListBox*>(list)->Items();
    }
    // Each of these watched lists was filled once since, in one insertion,
    // with exactly these names, sorted ignoring letter case.
    void ExpectFilled(const std::vector<std::string>& lists, const std::vector<std::string>& names) {
        std::vector<std::string> expected = names;
        std::sort(expected.begin(), expected.end());
        for (const std::string& name : lists) {
            const Watched& w = watched.at(name);
            std::vector<std::string> entries;
            for (int i = 0; i < Items(w.list)->Count(); ++i) entries.push_back(Items(w.list)->Get(i));
            EXPECT_EQ(w.insertions, 1) << name;
            EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(), IgnoringCase)) << name;
            std::sort(entries.begin(), entries.end());
            EXPECT_EQ(entries, expected) << name;
        }
    }
    std::vector<std::string> Watching() const {
        std::vector<std::string> out;
        for (const auto& entry : watched) out.push_back(entry.first);
        return out;
    }

    struct Watched {
        TWinControl* list = nullptr;
        int insertions = 0;
    };
    std::vector<FileCurrency> currencies;
    std::vector<FilePair> pairs;
    std::vector<std::string> offered, pairNames;
    std::map<std::string, Watched> watched;
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
