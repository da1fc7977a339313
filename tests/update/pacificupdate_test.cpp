// The Pacific page decoder on sample pages, with and without data/Pacific.INI.
#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "update/srcpacificupdate.h"
#include "update/updatefixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class PacificDecoding : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        WriteAll(DataFile("Pacific.XML"), ShippedFile("Pacific.XML"));
        pacific = std::make_unique<Pacific>();
    }
    void TearDown() override {
        pacific.reset();
        Settings::Release();
        ProgramFolderTest::TearDown();
    }
    // The shipped settings, some keys of section V2_1 given other values first.
    void SettingsWith(const std::string& lines = "") {
        WriteAll(DataFile("Pacific.INI"), Edited(ShippedFile("Pacific.INI"), "[V2_1]\r\n", "[V2_1]\r\n" + lines + "\r\n"));
    }
    void Decode(const std::string& text) {
        PacificUpdate decoder(pacific.get());
        decoder.Decode(text);
        date = decoder.Date;
        version = decoder.Version;
    }
    CurrencyItem* Currency(const char* name) { return pacific->FindCurrency(name); }
    double Rate(const char* name) { return Currency(name)->Value; }

    const std::string page = SamplePage("pacific_rates.html");
    std::unique_ptr<Pacific> pacific;
    std::string date, version;
};
}  // namespace

TEST_F(PacificDecoding, TheSamplePageMergesEveryRowInOrder) {
    SettingsWith();
    std::vector<std::string> names;
    for (CurrItr it = pacific->GetCurrencies(); it.HasNext();) names.push_back(it.Next()->GetName());
    Decode(Edited(page, "<td>ISK</td>", "<td> ISKR </td>"));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{});
    EXPECT_EQ(version, "V2_1");
    EXPECT_EQ(date, "January 20, 2025");  // cut before " at "
    EXPECT_DOUBLE_EQ(Rate("Chinese Yuan"), 7.3302);
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.9721);
    EXPECT_DOUBLE_EQ(Rate("Japanese Yen"), 155.92);
    EXPECT_TRUE(Currency("Euro")->IsPerUnit());
    EXPECT_STREQ(Currency("Euro")->GetDate(), "January 20, 2025");

    // New ones come last in row order, without the linked mark and what
    // follows it, codes cut to three characters; the heading row is none.
    names.push_back("German Mark");
    names.push_back("Icelandic Krona");
    std::vector<std::string> after;
    for (CurrItr it = pacific->GetCurrencies(); it.HasNext();) after.push_back(it.Next()->GetName());
    EXPECT_EQ(after, names);
    EXPECT_STREQ(Currency("Icelandic Krona")->GetIso(), "ISK");
    EXPECT_FALSE(Currency("Icelandic Krona")->IsSelected());

    Decode(Edited(Edited(page, "German Mark ** (fixed to the euro)", "French Franc**"), "<td>CH</td><td>Swiss Franc",
                  "<td>CH</td><td>Swiss Frank"));
    EXPECT_NE(Currency("French Fran"), nullptr);  // written against the mark: one letter less
    EXPECT_STREQ(Currency("Swiss Frank")->GetIso(), "CH");
}

TEST_F(PacificDecoding, TheDateKeepsNoTagsAndNoBlankBeforeTheCut) {
    SettingsWith();
    Decode(Edited(page, "January 20, 2025 at", "January\n20, <b>2025</b> <img src=x onerror=alert(1)> at"));
    EXPECT_EQ(date, "January 20, 2025");
    EXPECT_STREQ(Currency("Euro")->GetDate(), "January 20, 2025");
}

TEST_F(PacificDecoding, TheQuestionsAndTheVersionSections) {
    const std::string first = "Can't find information about Pacific-HTML.\nUse default settings?";
    const std::string second = "Can't find information about Pacific-HTML V2_1.\nUse default settings?";
    Decode(page);  // Cancel at the first question
    dialogs.QueueAnswer(mrYes);
    Decode(page);  // Cancel at the second
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{first, first, second}));
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.973521);
    dialogs.QueueAnswer(mrYes);
    dialogs.QueueAnswer(mrYes);
    Decode(page);
    EXPECT_EQ(dialogs.Texts().size(), 5u);
    EXPECT_EQ(version, "Default");
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.9721);

    // Version 2.1.3 has section V2_1.3, here taking the rates per Canadian dollar.
    dialogs.Clear();
    WriteAll(DataFile("Pacific.INI"), "[GetVersionStrings]\r\nmustContain=<title>Rates\r\n[V2_1.3]\r\n"
                                      "startstr=<tr lightskyblue>\r\nvalueColumn=2\r\nperUnit=0\r\n");
    Decode(Edited(page, "<!-- Version 2.1 -->", "<!-- version  2.1.3\r\n-->"));
    EXPECT_EQ(version, "V2_1.3");
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.6752);
    EXPECT_FALSE(Currency("Euro")->IsPerUnit());
    for (const char* broken : {"<!-- Version-->", "<!-- Versio 2.1 -->"}) Decode(Edited(page, "<!-- Version 2.1 -->", broken));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>(2, "Can't detect version info in Pacific-Source HTML-file."));
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.6752);
}

TEST_F(PacificDecoding, AWrongPageAndMissingMarkers) {
    SettingsWith();
    Settings::Instance()->UserName = "user";
    Settings::Instance()->Password = "secret";
    Decode("<HTML><TITLE>Access denied</TITLE>Rates as of today</HTML>");
    Decode("<title>no end");
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{
                                   "Fetched document not a correct Pacific-Source HTML-file.\n"
                                   "HTML Title: Access denied\n\nNot updating...",
                                   "Fetched document not a correct Pacific-Source HTML-file.\nHTML Title: \n\nNot updating..."}));
    EXPECT_TRUE(dialogs.Boxes()[0].typed);
    EXPECT_EQ(Settings::Instance()->UserName + Settings::Instance()->Password, "");

    dialogs.Clear();
    SettingsWith("datestart=<h1>");
    Decode(page);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't correctly find date of currencies..."});
    EXPECT_STREQ(Currency("Euro")->GetDate(), "01-01-00");

    dialogs.Clear();
    SettingsWith();
    Decode(Edited(page, "<tr><td align=center colspan=6>", "<tr><td>"));
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Can't correctly find body...", "Can't find table-row!"}));

    // A row without its end drops the rest, silently; the rows before it count.
    dialogs.Clear();
    Decode(Edited(Edited(page, "<td>140.2500</td><td>0.0071</td></tr>", "<td>141</td>"), "<td> 155.9200", "<td>150"));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{});
    EXPECT_DOUBLE_EQ(Rate("Japanese Yen"), 150);
    EXPECT_DOUBLE_EQ(Rate("Icelandic Krona"), 140.25);
}

TEST_F(PacificDecoding, ABadRateOrBrokenCellsMergeNothingWrong) {
    SettingsWith();
    Decode(Edited(page, "<td>0.8190</td>", "<td>n/a</td>"));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Error: 'n/a' is not a valid floating point value"});
    EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
    EXPECT_DOUBLE_EQ(Rate("Chinese Yuan"), 7.33158);  // not even the rows before it
    EXPECT_EQ(Currency("Icelandic Krona"), nullptr);

    // A cell without its end is named once a page, and ends its row.
    dialogs.Clear();
    Decode(Edited(Edited(page, "<td>JPY</td>", "<td>JPY</TR><td>"), "<td>GBP</td>", "<td>GBP</TR><td>"));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't find end of tag."});
    EXPECT_DOUBLE_EQ(Rate("Japanese Yen"), 156.362);
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.9721);

    // An end marker that no row holds.
    dialogs.Clear();
    SettingsWith("tde=#");
    Decode(Edited(page, "0.9721", "0.5"));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't find end of tag."});
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.9721);

    // An empty rate cell leaves that currency's rate alone; the other rows merge.
    dialogs.Clear();
    SettingsWith();
    const double pound = Rate("U.K. Pound Sterling");
    Decode(Edited(Edited(page, "<td>0.8190</td>", "<td> </td>"), "0.9721", "0.5"));
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_DOUBLE_EQ(Rate("U.K. Pound Sterling"), pound);
    EXPECT_DOUBLE_EQ(Rate("Euro"), 0.5);
}
