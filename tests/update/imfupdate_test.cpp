// The IMF page decoder on sample pages, with and without data/IMF.INI.
#include "currency/settings.h"
#include "currency/srcimf.h"
#include "update/sourceupdate.h"
#include "update/srcimfupdate.h"
#include "update/updatefixture.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class ImfDecoding : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        WriteAll(DataFile("IMF.XML"), ShippedFile("IMF.XML"));
        imf = std::make_unique<Imf>();
    }
    void TearDown() override {
        imf.reset();
        Settings::Release();
        ProgramFolderTest::TearDown();
    }
    // The built-in settings, some keys given other values first.
    void SettingsWith(const std::string& lines = "") {
        WriteAll(DataFile("IMF.INI"), Edited(ShippedFile("IMF.INI"), "[IMF]\r\n", "[IMF]\r\n" + lines + "\r\n"));
    }
    void Decode(const std::string& text) {
        ImfUpdate decoder(imf.get());
        decoder.Decode(text);
        date = decoder.Date;
    }
    double Rate(const char* name) { return imf->FindCurrency(name)->Value; }

    const std::string page = SamplePage("imf_rates.html");
    std::unique_ptr<Imf> imf;
    std::string date;
};
}  // namespace

TEST_F(ImfDecoding, TheSamplePageUpdatesEveryRateRow) {
    SettingsWith();
    Decode(page);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{});
    EXPECT_EQ(date, "January 20, 2025");
    CurrencyItem* euro = imf->FindCurrency("Euro");  // marked (1): dollars per euro
    EXPECT_DOUBLE_EQ(euro->Value, 1.0301);
    EXPECT_FALSE(euro->IsPerUnit());
    EXPECT_STREQ(euro->GetDate(), "January 20, 2025");
    EXPECT_STREQ(euro->GetIso(), "EUR");
    EXPECT_DOUBLE_EQ(Rate("Chinese Yuan"), 7.3311);  // tags and blanks around the numbers
    EXPECT_TRUE(imf->FindCurrency("Chinese Yuan")->IsPerUnit());
    EXPECT_DOUBLE_EQ(Rate("U.K. Pound Sterling"), 1.2215);
    EXPECT_DOUBLE_EQ(Rate("Botswana Pula"), 13.986);  // "---": no rate that day
    EXPECT_EQ(imf->FindCurrency("U.S. dollars per SDR"), nullptr);
    CurrencyItem* krona = imf->FindCurrency("Icelandic Krona");
    ASSERT_NE(krona, nullptr);
    EXPECT_FALSE(krona->IsSelected());
    EXPECT_NEAR(Rate("German Mark"), 1.95583 / 1.0301, 1e-12);  // the linked ones follow
}

TEST_F(ImfDecoding, TheSettingsQuestionAndAWrongPage) {
    Decode(page);  // no file: asked, and Cancel changes nothing
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't find information about IMF-HTML.\nUse default settings?"});
    EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
    EXPECT_DOUBLE_EQ(Rate("Euro"), 1.0272);
    dialogs.QueueAnswer(mrYes);
    Decode(page);  // asked again at every page
    EXPECT_EQ(dialogs.Texts().size(), 2u);
    EXPECT_DOUBLE_EQ(Rate("Euro"), 1.0301);

    SettingsWith("titlecontains=");  // decodes nothing, silently
    Decode(Edited(page, "1.0301", "1.5"));
    EXPECT_EQ(dialogs.Texts().size(), 2u);
    EXPECT_DOUBLE_EQ(Rate("Euro"), 1.0301);

    // The title is checked between the set markers; the message shows the literal title.
    SettingsWith("titlestart=<h1>\r\ntitleend=</h1>");
    Settings::Instance()->UserName = "user";
    Settings::Instance()->Password = "secret";
    Decode("<title>Proxy login</title><h1>Please log in</h1>" + Edited(page, "1.0301", "1.5"));
    EXPECT_EQ(dialogs.Texts().back(),
              "Fetched document not a correct IMF-Source HTML-file.\nHTML Title: Proxy login\n\nNot updating...");
    EXPECT_TRUE(dialogs.Boxes().back().typed);
    EXPECT_EQ(Settings::Instance()->UserName + Settings::Instance()->Password, "");
    EXPECT_DOUBLE_EQ(Rate("Euro"), 1.0301);
}

TEST_F(ImfDecoding, MissingMarkersAreNamedAndDecodingGoesOn) {
    SettingsWith();
    Decode(Edited(page, "<h3>  January 20, 2025  </h3>", ""));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{
                                   "Can't correctly find date of currencies. (between \"<H3>\" and \"</H3>\")"});
    EXPECT_STREQ(imf->FindCurrency("Euro")->GetDate(), "01-01-00");

    dialogs.Clear();
    imf->FindCurrency("German Mark")->SetValue(1);
    Decode(Edited(page, "<!-- END=/external/ssi/headerf.txt -->", ""));
    EXPECT_EQ(dialogs.Texts(),
              (std::vector<std::string>{"Can't correctly find body. (between \"<!-- END=/external/ssi/headerf.txt -->\" "
                                        "and \"<P><TABLE border=0><TR><TD>\")",
                                        "Can't find table-row. (first \"<tr\")"}));
    EXPECT_NEAR(Rate("German Mark"), 1.95583 / 1.0301, 1e-12);  // still refreshed

    // A row without its end keeps the rows before it; rows without cells are
    // named once a page.
    dialogs.Clear();
    std::string broken = Edited(page, "<TD>1.3050</TD></TR>", "<TD>1.3050</TD>");
    broken = Edited(broken, "<TD>140.3000</TD>", "<TD>139</TD>");
    Decode(Edited(broken, "<TR><TD>Japanese Yen", "<TR><TH>x</TH></TR><TR><TH>y</TH></TR><TR><TD>Japanese Yen"));
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Can't find TD. (first \"<td\")",
                                                         "Can't find table-row ending. (\"</tr\")"}));
    EXPECT_DOUBLE_EQ(Rate("Icelandic Krona"), 139);
}

TEST_F(ImfDecoding, ABadRateKeepsTheRowsBeforeIt) {
    SettingsWith();
    Decode(Edited(page, "<TD>1.4412</TD>", "<TD>1,441.20</TD>"));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Error: '1,441.20' is not a valid floating point value"});
    EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
    EXPECT_DOUBLE_EQ(Rate("Australian Dollar"), 0.6199);  // before it
    EXPECT_DOUBLE_EQ(Rate("Swiss Franc"), 0.9115);        // after it
    EXPECT_NEAR(Rate("German Mark"), 1.95583 / 1.0272, 1e-12);  // not refreshed
}

TEST_F(ImfDecoding, TheDateHeadingInUseAndTheBodyAfterIt) {
    SettingsWith("useDateInstance=1");
    Decode(page);
    EXPECT_EQ(date, "Exchange Rate Archives by Month");
    SettingsWith("useDateInstance=3");
    Decode(page);
    EXPECT_EQ(date, "01-01-00");
    SettingsWith("useDateInstance=2147483647\r\ndateend=>");  // stops where the page ends
    Decode(page);
    EXPECT_EQ(date, "01-01-00");
    // The body is looked for after the first heading, and may begin right there.
    const size_t messages = dialogs.Texts().size();
    SettingsWith("startstr=<tr>\r\nendstr=</table>");
    Decode("<title>Representative Exchange Rates</title><H3>x</H3><tr><td>Euro</td><td>(1)</td><td>1.05</td></tr>"
           "<H3>March 3, 2025</H3></table>");
    EXPECT_DOUBLE_EQ(Rate("Euro"), 1.05);
    EXPECT_EQ(dialogs.Texts().size(), messages);
}

TEST_F(ImfDecoding, TheDateKeepsNoTagsAndNoLineBreaks) {
    SettingsWith();
    Decode("<title>Representative Exchange Rates</title><H3>x</H3><H3> <b>March\r\n  3</b>, "
           "<img src=x onerror=alert(1)>2025 </H3><!-- END=/external/ssi/headerf.txt -->"
           "<TR><TD>Euro</TD><TD>(1)</TD><TD>1.05</TD></TR><P><TABLE border=0><TR><TD>");
    EXPECT_EQ(date, "March 3, 2025");
    EXPECT_STREQ(imf->FindCurrency("Euro")->GetDate(), "March 3, 2025");
}

TEST_F(ImfDecoding, ShortRowsAndEndlessRowsChangeNothing) {
    // Columns from the settings; one below 0 reads the first cell. A row
    // short of a column is no currency, not a nameless one or a rate of 0.
    SettingsWith("nameColumn=-1\r\ninvertedColumn=2\r\nvalueColumn=1");
    Decode("<title>Representative Exchange Rates</title><H3>x</H3><H3>May 2</H3>"
           "<!-- END=/external/ssi/headerf.txt --><TR><TD>Swiss Franc</TD><TD>0.5</TD></TR>"
           "<TR><TD>Japanese Yen</TD><TD>140</TD><TD></TD></TR>"
           "<TR><TD>Swiss Franc</TD><TD> </TD><TD></TD></TR><P><TABLE border=0><TR><TD>");
    EXPECT_DOUBLE_EQ(Rate("Swiss Franc"), 0.9115);  // neither the short row nor the empty rate touched it
    EXPECT_DOUBLE_EQ(Rate("Japanese Yen"), 140);
    EXPECT_EQ(imf->FindCurrency(""), nullptr);

    // Cells whose end marker never comes, on a large page.
    SettingsWith("tde=#");
    std::string rows;
    for (int i = 0; i < 20000; ++i) rows += "<TR><TH>x</TH></TR><TR><TD>name<TD>" + std::to_string(i) + "</TR>";
    Decode(Edited(page, "<table border=1 cellpadding=2>", rows));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't find TD. (first \"<td\")"});
    EXPECT_DOUBLE_EQ(Rate("Euro"), 1.0272);
}

TEST_F(ImfDecoding, AnUpdateRefreshesTheLinkedCurrenciesAtOnce) {
    CurrencyItem* euro = imf->FindCurrency("Euro");
    euro->SetPerUnit(true);
    euro->SetValue(2);
    UpdateSource(imf.get(), nullptr);
    EXPECT_NEAR(Rate("German Mark"), 3.91166, 1e-9);
}
