// Texts that the decoders take from a page must survive the data file the
// source writes at exit: after a restart the currency has the same name, so
// the next update merges into it instead of adding a second one.
#include "currency/settings.h"
#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "platform/sysutils.h"
#include "update/srcimfupdate.h"
#include "update/srcpacificupdate.h"
#include "update/updatefixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {
class PageTexts : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        for (const char* name : {"IMF.XML", "IMF.INI", "Pacific.XML", "Pacific.INI"})
            WriteAll(DataFile(name), ShippedFile(name));
    }
    void TearDown() override {
        Settings::Release();
        ProgramFolderTest::TearDown();
    }
    // Decodes the page into a new source, which writes its file when it goes;
    // returns the names and dates of the currencies as the next start reads them.
    template <class Source, class Decoder>
    std::vector<std::string> AfterRestart(const std::string& page) {
        {
            Source source;
            Decoder decoder(&source);
            decoder.Decode(page);
        }
        Source again;
        std::vector<std::string> texts;
        for (CurrItr it = again.GetCurrencies(); it.HasNext();) {
            const CurrencyItem* c = it.Next();
            texts.push_back(std::string(c->GetName()) + "|" + c->GetIso() + "|" + c->GetDate());
        }
        return texts;
    }
    static bool Holds(const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};
}  // namespace

TEST_F(PageTexts, NamesAndDatesWrittenOverSeveralLinesBecomeOneLine) {
    // A downloaded page keeps its LF line ends; a saved one has CR LF.
    std::string imf = SamplePage("imf_rates.html");
    imf = Edited(imf, "<h3>  January 20, 2025  </h3>", "<h3>  January\n    20, 2025\n</h3>");
    imf = Edited(imf, "<TD>Japanese Yen</TD>", "<TD>Japanese\r\n      Yen</TD>");
    imf = Edited(imf, "<TD>Canadian Dollar</TD>", "<TD>Canadian\tDollar</TD>");  // no line break: kept
    std::vector<std::string> texts = AfterRestart<Imf, ImfUpdate>(imf);
    EXPECT_TRUE(Holds(texts, "Japanese Yen|JPY|January 20, 2025"));
    EXPECT_TRUE(Holds(texts, "Canadian\tDollar||January 20, 2025"));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Japanese Yen|JPY|January 20, 2025"), 1);
    EXPECT_EQ((AfterRestart<Imf, ImfUpdate>(imf)), texts);  // the next update merges into them

    std::string pacific = SamplePage("pacific_rates.html");
    pacific = Edited(pacific, "Rates as of January 20, 2025 at", "Rates as of January 20,\n2025\nat");
    pacific = Edited(pacific, "<td>Icelandic Krona</td>", "<td>\n  Icelandic\n  Krona\n</td>");
    pacific = Edited(pacific, "<td>ISK</td>", "<td>I\r\nS</td>");
    texts = AfterRestart<Pacific, PacificUpdate>(pacific);
    EXPECT_TRUE(Holds(texts, "Icelandic Krona|I S|January 20, 2025")) << texts.back();
    EXPECT_EQ((AfterRestart<Pacific, PacificUpdate>(pacific)), texts);
    EXPECT_TRUE(dialogs.Texts().empty());
}

TEST_F(PageTexts, TheLinkedMarkTakesAWholeCharacterWithIt) {
    std::string pacific = SamplePage("pacific_rates.html");
    pacific = Edited(pacific, "German Mark ** (fixed to the euro)", "German Mark \xC2\xA7** (fixed)");
    pacific = Edited(pacific, "<td>Swiss Franc</td>", "<td>Swiss Fran\xC3\xA7**</td>");
    std::vector<std::string> texts = AfterRestart<Pacific, PacificUpdate>(pacific);
    EXPECT_TRUE(Holds(texts, "German Mark|DEM|January 20, 2025"));
    EXPECT_TRUE(Holds(texts, "Swiss Fran|CH|January 20, 2025"));
    // One broken character would have made the whole file read as Windows-1252.
    EXPECT_TRUE(IsValidUtf8(ReadAll(DataFile("Pacific.XML"))));
}

TEST_F(PageTexts, ACellWithoutItsDelimiterIsNeverCutInsideACharacter) {
    // The text then starts as many characters in as the delimiter has, less
    // one: with a five-character delimiter of ten bytes, after "<TD>".
    const std::string delimiter = "td_delim=\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB\xC2\xAB";
    const std::string ecu = "\xC3\x89\xC3\x89\xC3\x89" "cu";
    WriteAll(DataFile("IMF.INI"), Edited(Edited(ShippedFile("IMF.INI"), "td_delim=>", delimiter), "td=<TD", "td=<TD>"));
    std::string imf = Edited(SamplePage("imf_rates.html"), "<TR><TD>Canadian Dollar", "<TR><TD>" + ecu);
    std::vector<std::string> texts = AfterRestart<Imf, ImfUpdate>(imf);
    EXPECT_TRUE(Holds(texts, ecu + "||January 20, 2025"));
    {
        Imf imfSource;
        ASSERT_NE(imfSource.FindCurrency(ecu), nullptr);
        EXPECT_DOUBLE_EQ(imfSource.FindCurrency(ecu)->Value, 1.4412);
    }

    WriteAll(DataFile("Pacific.INI"),
             Edited(Edited(ShippedFile("Pacific.INI"), "td_delim=>", delimiter), "td=<td", "td=<td>"));
    std::string pacific = Edited(SamplePage("pacific_rates.html"), "<td>Icelandic Krona", "<td>" + ecu);
    texts = AfterRestart<Pacific, PacificUpdate>(pacific);
    EXPECT_TRUE(Holds(texts, ecu + "|ISK|January 20, 2025"));
    for (const char* file : {"IMF.XML", "Pacific.XML"}) EXPECT_TRUE(IsValidUtf8(ReadAll(DataFile(file)))) << file;
}
