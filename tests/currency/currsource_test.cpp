#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "platform/sysutils.h"
#include "support/datafile.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

class RateSource : public ProgramFolderTest {
protected:
    void TearDown() override {
        try {
            Settings::Release();
        } catch (...) {
        }
        ProgramFolderTest::TearDown();
    }
    std::string path() const { return DataFile("Pacific.XML"); }
    std::unique_ptr<Pacific> Load(const std::string& text) {
        WriteAll(path(), text);
        return std::make_unique<Pacific>();
    }
};

TEST_F(RateSource, DataFileRoundTripsByteForByte) {
    const std::string text = DataFileText(
        {{"Euro", "EUR", "16 Jan 2025", "0.787564", true, true},
         {"Italian Lira", "ITL", "Euro Linked", "1936.27", true, false},
         {"Big", "BIG", "d", "1.23457e+06", false, true},
         {"Tiny", "", "", "9e-05", false, false},
         {"A &amp; B &lt;x&gt; &quot;q&quot; 'a'", "A&amp;B", "x &amp; y", "166.386", true, true}},
        {{"Pair &amp; co", "Euro", "Big"}}, "Pacific &amp; co", "Euro");
    auto source = Load(text);
    CurrencyItem* odd = source->FindCurrency("A & B <x> \"q\" 'a'");
    ASSERT_NE(odd, nullptr);
    EXPECT_STREQ(odd->GetIso(), "A&B");
    EXPECT_EQ(source->GetName(), "Pacific & co");
    EXPECT_EQ(source->GetCopyright(), "Rates & notes <c> \"q\" 'a'");
    EXPECT_EQ(source->GetUpdateAddress(), "fx.example.org/rates.html");
    ASSERT_NE(source->FindPreferred("Pair & co"), nullptr);
    source.reset();
    EXPECT_EQ(ReadAll(path()), text);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(RateSource, ValuesReadWithADotWhateverTheSeparators) {
    const std::string text = DataFileText({{"Mark", "DEM", "", "1.95583", true, true}}, {});
    SetSystemDecimalSeparator(',');
    SetSystemThousandSeparator('.');
    Settings::Instance()->DecimalSeparator = ';';
    auto source = Load(text);
    EXPECT_DOUBLE_EQ(source->FindCurrency("Mark")->Value, 1.95583);
    source.reset();
    EXPECT_EQ(ReadAll(path()), text);  // and written back with a dot
}

TEST_F(RateSource, ReadingRulesForFlagsKindsAndMissingElements) {
    auto source = Load(
        "<CURRSOURCE><CURRENCY><NAME>Bare</NAME><VALUE>2</VALUE></CURRENCY>"
        "<CURRENCY><NAME>Lower</NAME><VALUE TYPE=\"PER_UNIT\">x</VALUE><SELECTED>yes</SELECTED></CURRENCY>"
        "<CURRENCY><NAME>NoValue</NAME><SELECTED>YES</SELECTED></CURRENCY>"
        "<CURRENCY><NAME>Bare</NAME><VALUE TYPE=\"UNITS_PER\">3</VALUE></CURRENCY>"
        "<PREFERRED><NAME>P</NAME><FIRST>Bare</FIRST><SECOND>Lower</SECOND></PREFERRED>"
        "<PREFERRED><NAME>Gone</NAME><FIRST>Bare</FIRST><SECOND>Nobody</SECOND></PREFERRED></CURRSOURCE>");
    std::vector<CurrencyItem*> all;
    for (CurrItr it = source->GetCurrencies(); it.HasNext();) all.push_back(it.Next());
    ASSERT_EQ(all.size(), 4u);
    EXPECT_STREQ(all[0]->GetIso(), "");
    EXPECT_STREQ(all[0]->GetDate(), "");
    EXPECT_FALSE(all[0]->IsPerUnit());
    EXPECT_FALSE(all[1]->IsSelected());
    EXPECT_TRUE(all[1]->IsPerUnit());
    EXPECT_EQ(all[1]->Value, 0);
    EXPECT_EQ(all[2]->Value, 0);
    EXPECT_TRUE(all[2]->IsSelected());
    // Names need not be unique; lookups and pairs take the first.
    EXPECT_EQ(source->FindCurrency("Bare"), all[0]);
    PrefItr pairs = source->GetPreferreds();
    ASSERT_TRUE(pairs.HasNext());
    PrefItem* p = pairs.Next();
    EXPECT_EQ(p->GetFirst(), all[0]);
    EXPECT_FALSE(pairs.HasNext());
}

TEST_F(RateSource, MergeAndReplaceKeepTheExistingObject) {
    auto source = Load(DataFileText({{"Euro", "EUR", "old", "1.1", false, true}, {"Yen", "JPY", "old", "150", true, false}},
                                    {{"P", "Euro", "Yen"}}));
    CurrencyItem* euro = source->FindCurrency("Euro");
    source->MergeCurrency(new CurrencyItem("Euro", "XXX", 0.9, "new", true, false));
    EXPECT_EQ(source->FindCurrency("Euro"), euro);
    EXPECT_DOUBLE_EQ(euro->Value, 0.9);
    EXPECT_TRUE(euro->IsPerUnit());
    EXPECT_STREQ(euro->GetDate(), "new");
    EXPECT_STREQ(euro->GetIso(), "EUR");
    EXPECT_TRUE(euro->IsSelected());

    source->MergeCurrency(new CurrencyItem("Won", "KRW", 1400, "d", true, false));
    CurrItr it = source->GetCurrencies();
    it.Next();
    it.Next();
    EXPECT_STREQ(it.Next()->GetName(), "Won");

    CurrencyItem* yen = source->FindCurrency("Yen");
    source->ReplaceCurrency(yen, new CurrencyItem("Japanese Yen", "JPN", 151, "User-edited", false, true));
    EXPECT_STREQ(source->FindPreferred("P")->GetSecond()->GetName(), "Japanese Yen");
    EXPECT_EQ(source->FindCurrency("Japanese Yen"), yen);
    source->ReplaceCurrency(nullptr, new CurrencyItem("New", "", 1, "", true, true));
    EXPECT_NE(source->FindCurrency("New"), nullptr);
}

TEST_F(RateSource, RemovingACurrencyRemovesItsPairs) {
    auto source = Load(DataFileText({{"A", "", "", "1", true, true}, {"B", "", "", "2", true, true}, {"C", "", "", "3", true, true}},
                                    {{"AB", "A", "B"}, {"BC", "B", "C"}, {"AC", "A", "C"}, {"AC", "C", "A"}}));
    source->RemoveCurrency(source->FindCurrency("B"));
    source->RemoveCurrency(nullptr);
    EXPECT_EQ(source->FindCurrency("B"), nullptr);
    EXPECT_EQ(source->FindPreferred("AB"), nullptr);
    EXPECT_EQ(source->FindPreferred("BC"), nullptr);
    // Of two pairs with one name, only the first goes.
    source->RemovePreferred("AC");
    ASSERT_NE(source->FindPreferred("AC"), nullptr);
    EXPECT_STREQ(source->FindPreferred("AC")->GetFirst()->GetName(), "C");
    source->RemovePreferred("nothing");
    source->AddPreferred("Null", source->FindCurrency("A"), nullptr);
    EXPECT_EQ(source->FindPreferred("Null"), nullptr);
    source.reset();
    EXPECT_EQ(ReadAll(path()).find("<NAME>B</NAME>"), std::string::npos);
}

TEST_F(RateSource, AMissingFileIsReportedAndWrittenEmptyAtTheEnd) {
    auto source = std::make_unique<Pacific>();
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't find file: " + path()});
    EXPECT_FALSE(source->GetCurrencies().HasNext());
    source.reset();
    EXPECT_EQ(ReadAll(path()),
              "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<!-- This is a generated file. Do not edit. -->\r\n"
              "<CURRSOURCE>\r\n  <NAME></NAME>\r\n  <HOST></HOST>\r\n  <UPDATEURL></UPDATEURL>\r\n"
              "  <WEBSITE></WEBSITE>\r\n  <COPYRIGHT></COPYRIGHT>\r\n  <DEFAULTUNIT></DEFAULTUNIT>\r\n"
              "  <PREFERREDBASE></PREFERREDBASE>\r\n\r\n</CURRSOURCE>\r\n");
}

TEST_F(RateSource, ADamagedFileIsKeptAsBackupAtLoadingAndTheUserIsTold) {
    const std::string damaged = "<CURRSOURCE><CURRENCY><NAME>Kept</NAME><VALUE>1</VALUE></CURRENCY>< ></CURRSOURCE>";
    WriteAll(path(), damaged);
    chmod(path().c_str(), 0600);
    auto source = std::make_unique<Pacific>();
    const std::string told = "The rate file " + path() + " was damaged; it was kept as " + path() + ".bak.";
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Error in XML!", told}));
    EXPECT_EQ(dialogs.Boxes().back().type, mtWarning);
    EXPECT_EQ(ReadAll(path() + ".bak"), damaged);
    struct stat st;
    EXPECT_TRUE(stat((path() + ".bak").c_str(), &st) == 0 && (st.st_mode & 0777) == 0600);  // private as the file
    dialogs.Clear();
    source.reset();
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_EQ(ReadAll(path() + ".bak"), damaged);
    EXPECT_NE(ReadAll(path()).find("Kept"), std::string::npos);

    // Without the source element, or with an element left open, it is kept
    // too; a backup is never replaced: each new one takes the next free name.
    WriteAll(path() + ".2.bak", "the user's own");
    int n = 1;
    for (const std::string& text : {std::string("<OTHER/>"), std::string("<CURRSOURCE><NAME>P</NAME>")}) {
        const std::string backup = path() + "." + std::to_string(n) + ".bak";
        dialogs.Clear();
        auto other = Load(text);
        EXPECT_EQ(dialogs.Texts(),
                  std::vector<std::string>{"The rate file " + path() + " was damaged; it was kept as " + backup + "."});
        other.reset();
        EXPECT_EQ(ReadAll(backup), text);
        n += 2;
    }
    EXPECT_EQ(ReadAll(path() + ".bak"), damaged);
    EXPECT_EQ(ReadAll(path() + ".2.bak"), "the user's own");
    // The same damage again takes the copy kept already.
    dialogs.Clear();
    Load(damaged).reset();
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Error in XML!", told}));
    EXPECT_FALSE(std::filesystem::exists(path() + ".4.bak"));
}

TEST_F(RateSource, AnUnreadableFileIsNotDamagedAndIsLeftAsItIs) {
    const std::string text = DataFileText({{"A", "", "", "1", true, true}}, {});
    WriteAll(path(), text);
    chmod(folder.Path().c_str(), 0711);
    chmod(DataFile("").c_str(), 0711);
    chmod(path().c_str(), 0200);
    std::unique_ptr<Pacific> source;
    {
        // Without read permission, also for a test run as root.
        const bool root = geteuid() == 0;
        if (root) setfsuid(65534);
        source = std::make_unique<Pacific>();
        if (root) setfsuid(0);
    }
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't read file: " + path()});
    dialogs.Clear();
    source.reset();
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_EQ(ReadAll(path()), text);
    EXPECT_FALSE(std::filesystem::exists(path() + ".bak"));
}

TEST_F(RateSource, ADamagedFileWhoseBackupFailsIsNotReplaced) {
    const std::string damaged = "<CURRSOURCE><CURRENCY><NAME>X</NAME></CURRENCY>< ></CURRSOURCE>";
    std::filesystem::create_directory(path() + ".bak");  // no free name left for the copy
    for (int n = 1; n < 1000; ++n) std::filesystem::create_directory(path() + "." + std::to_string(n) + ".bak");
    auto source = Load(damaged);
    EXPECT_EQ(dialogs.Texts().back(),
              "The rate file " + path() + " was damaged; it could not be kept as " + path() + ".bak.");
    dialogs.Clear();
    source.reset();
    EXPECT_EQ(ReadAll(path()), damaged);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't write file: " + path() + ".bak"});
}

TEST_F(RateSource, ARateThatDoesNotConvertIsDamageWhateverTheLocale) {
    // Numbers are read with "." whatever the system's decimal character.
    const std::string told = "The rate file " + path() + " was damaged; it was kept as " + path() + ".bak.";
    for (char decimal : {'.', ','}) {
        SetSystemDecimalSeparator(decimal);
        SetSystemThousandSeparator(decimal == '.' ? ',' : '.');
        for (const char* bad : {"1,5", "1.234.567", "1e400"}) {
            SCOPED_TRACE(std::string(bad) + " with the system's " + decimal);
            std::filesystem::remove(path() + ".bak");
            dialogs.Clear();
            const std::string text =
                DataFileText({{"Bad", "", "", bad, true, true}, {"Good", "", "", "1.5", true, true}}, {});
            auto source = Load(text);
            EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{told});
            EXPECT_EQ(source->FindCurrency("Bad")->Value, 0);
            EXPECT_EQ(source->FindCurrency("Good")->Value, 1.5);
            source.reset();
            EXPECT_EQ(ReadAll(path() + ".bak"), text);
        }
    }
    // A long name still matches, and an empty rate is 0 without a word.
    std::filesystem::remove(path() + ".bak");
    dialogs.Clear();
    const std::string longName = std::string(45, 'L');
    auto source = Load(DataFileText({{"Empty", "", "", "", true, true}, {longName, "", "", "2", true, true}},
                                    {{"Pair of a long one", longName, "Empty"}}));
    EXPECT_EQ(source->FindCurrency("Empty")->Value, 0);
    EXPECT_NE(source->FindCurrency(longName), nullptr);
    EXPECT_NE(source->FindPreferred("Pair of a long one"), nullptr);
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_EQ(std::filesystem::exists(path() + ".bak"), false);  // a clean load keeps no copy
}

TEST_F(RateSource, AFileThatCannotBeWrittenIsReported) {
    auto source = Load(DataFileText({{"A", "", "", "1", true, true}}, {}));
    std::filesystem::remove(path());
    std::filesystem::create_directory(path());  // a folder in the file's place
    source.reset();
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't write file: " + path()});
}

TEST_F(RateSource, RecordsCutLongTextsOnCharacterBoundaries) {
    // The limits count characters, however many bytes each takes.
    const std::string polish = "Złoty polski – nowy (PLN) seria 1995 ąę";  // 39 characters, 44 bytes
    CurrencyItem item(polish + "xyz", "EURO€", 1.5, std::string(39, 'd') + "ääääääääääää", true, false);
    EXPECT_EQ(std::string(item.GetName()), polish);
    EXPECT_STREQ(item.GetIso(), "EURO");
    EXPECT_EQ(std::string(item.GetDate()), std::string(39, 'd') + "ääääääääää");
    std::string astral;  // 39 characters of four bytes each
    for (int i = 0; i < 39; ++i) astral += "𝔘";
    CurrencyItem wide(astral + "𝔘", "€€€€€", 1, "", true, false);
    EXPECT_EQ(std::string(wide.GetName()), astral);
    EXPECT_STREQ(wide.GetIso(), "€€€€");
    CurrencyItem nulls(nullptr, nullptr, 0, nullptr, false, false);
    EXPECT_STREQ(nulls.GetName(), "");
    const std::string german = "Schweizer Franken – Südafrika ";  // 30 characters, 33 bytes
    PrefItem pair(german, &item, &wide);
    EXPECT_EQ(pair.GetName(), german);
    pair.SetName(german + "ßß");
    EXPECT_EQ(pair.GetName(), german + "ß");
    item.SetSelected(true);
    item.SetDate("x");
    item.SetValue(2);
    item.SetPerUnit(false);
    EXPECT_EQ(std::string(item.GetName()), polish);
    EXPECT_STREQ(item.GetIso(), "EURO");
}
