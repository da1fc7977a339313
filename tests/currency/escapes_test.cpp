// Texts that look like the data file's own escapes ("&lt;" in a currency name
// taken from a web page) must read back as they were written, not decoded a
// second time into "<".
#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "support/datafile.h"
#include "support/testenv.h"
#include "xml/xmlparser.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class EscapedTexts : public ProgramFolderTest {
protected:
    void TearDown() override {
        Settings::Release();
        ProgramFolderTest::TearDown();
    }
};
}  // namespace

TEST_F(EscapedTexts, TextsThatLookLikeEscapesReadBackAsWritten) {
    WriteAll(DataFile("Pacific.XML"), DataFileText({{"Euro", "EUR", "d", "1", true, true}}, {}));
    const std::vector<std::string> names = {"&lt;b&gt; Dollar", "A &amp;amp; B", "&quot;Q&quot; &AMP; &#60;",
                                            "<x> & \"y\"", "&lt;tallyvaneRepeater/&gt;", "a&", "&lt"};
    {
        Pacific source;
        for (const std::string& name : names) source.AddCurrency(name, "&lt;", 2, "&amp;" + name, true, true);
        source.AddPreferred("&lt;pair&gt;", source.FindCurrency(names[0]), source.FindCurrency(names[3]));
    }
    const std::string written = ReadAll(DataFile("Pacific.XML"));
    {
        Pacific again;
        for (const std::string& name : names) {
            CurrencyItem* c = again.FindCurrency(name);
            ASSERT_NE(c, nullptr) << name;
            EXPECT_STREQ(c->GetIso(), "&lt;");
            EXPECT_EQ(c->GetDate(), "&amp;" + name);
        }
        PrefItem* pair = again.FindPreferred("&lt;pair&gt;");
        ASSERT_NE(pair, nullptr);
        EXPECT_STREQ(pair->GetFirst()->GetName(), "&lt;b&gt; Dollar");
    }
    EXPECT_EQ(ReadAll(DataFile("Pacific.XML")), written);  // and again byte for byte
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST(XmlText, OneChildReadsItsEscapesUndoneOnceTheOtherDecodedInAChain) {
    XMLParser parser;
    XMLNode* root = parser.ParseText("<A><N>&amp;lt; &LT; &amp &quot;</N></A>\r\n");
    XMLNode* a = root->FindFirst("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetChildText("N"), "&lt; < &amp \"");
    EXPECT_EQ(a->GetChildValue("N"), "< < &amp \"");  // the templates' reading, left as it is
    EXPECT_EQ(a->GetChildText("M"), "");
}
