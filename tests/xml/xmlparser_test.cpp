#include "xml/xmlparser.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>

class XmlReader : public ProgramFolderTest {
protected:
    XMLNode* ParseFile(const std::string& text) {
        WriteAll(folder.File("t.xml"), text);
        return parser.Parse(folder.File("t.xml"));
    }
    XMLParser parser;
};

TEST_F(XmlReader, PrologCommentAndDocumentElement) {
    XMLNode* root = ParseFile(
        "<?xml version=\"1.0\" standalone=\"yes\"?>\n<!-- generated -->\n<A><B>1</B><B>2</B></A>\n");
    ASSERT_EQ(root->GetChildren().size(), 2u);
    XMLItem* prolog = root->GetChildren()[0]->GetItem();
    EXPECT_EQ(prolog->Name, "?xml");
    EXPECT_EQ(prolog->Value, "");
    EXPECT_EQ(prolog->GetAttribute("version"), "1.0");
    EXPECT_EQ(prolog->GetAttribute("standalone"), "yes");
    EXPECT_EQ(prolog->AttributeCount(), 2u);

    XMLNode* a = root->FindFirst("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetItem()->Value, "<B>1</B><B>2</B>");
    EXPECT_EQ(a->FindNext(), nullptr);
    XMLNode* b = a->FindFirst("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetItem()->Value, "1");
    EXPECT_EQ(b->GetParent(), a);
    b = a->FindNext();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetItem()->Value, "2");
    EXPECT_EQ(a->FindNext(), nullptr);
    EXPECT_EQ(a->FindNext(), nullptr);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(XmlReader, EmptySelfClosingAndUnclosedElements) {
    XMLNode* root = ParseFile("<R><E/><F /><G></G><H a=\"1\"><I>x</I></R>");
    XMLNode* r = root->FindFirst("R");
    ASSERT_NE(r, nullptr);
    for (const char* name : {"E", "F", "G"}) {
        XMLNode* n = r->FindFirst(name);
        ASSERT_NE(n, nullptr) << name;
        EXPECT_EQ(n->GetItem()->Value, "") << name;
        EXPECT_TRUE(n->GetChildren().empty()) << name;
    }
    // H is never closed: empty value, and I becomes its sibling.
    EXPECT_EQ(r->FindChildItem("H")->Value, "");
    EXPECT_EQ(r->GetChildValue("I"), "x");
}

TEST_F(XmlReader, ClosingTagsAreFoundByPrefixOnly) {
    XMLNode* root = ParseFile("<A><A>x</A></A>");
    XMLNode* outer = root->FindFirst("A");
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->GetItem()->Value, "<A>x");
    ASSERT_EQ(outer->GetChildren().size(), 1u);
    EXPECT_EQ(outer->GetChildren()[0]->GetItem()->Value, "");
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Error in XML!"});

    dialogs.Clear();
    XMLParser second;
    WriteAll(folder.File("u.xml"), "<NAME>a</NAMES></NAME>");
    XMLNode* n = second.Parse(folder.File("u.xml"))->FindFirst("NAME");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->GetItem()->Value, "a");
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Error in XML!"});
}

TEST_F(XmlReader, NamesAreCaseSensitiveAndMissingThingsAreEmpty) {
    XMLNode* root = ParseFile("<doc><name>v</name></doc>");
    XMLNode* doc = root->FindFirst("doc");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetChildValue("NAME"), "");
    EXPECT_EQ(doc->FindChildItem("NAME"), nullptr);
    EXPECT_EQ(doc->FindChildItem("name")->GetAttribute("x"), "");
    EXPECT_EQ(doc->FindNext(), nullptr);  // no FindFirst on this node yet
    EXPECT_EQ(root->FindFirst("DOC"), nullptr);
}

TEST_F(XmlReader, EntitiesDecodeInFourPassesOnlyInChildValues) {
    XMLNode* root = ParseFile("<d><v a=\"&amp;lt;\">&amp;lt; &AMP; &Quot; &gt; &apos; &#65;</v></d>");
    XMLNode* d = root->FindFirst("d");
    EXPECT_EQ(d->GetChildValue("v"), "< & \" > &apos; &#65;");
    EXPECT_EQ(d->FindChildItem("v")->GetAttribute("a"), "&amp;lt;");
    EXPECT_EQ(d->FindChildItem("v")->Value, "&amp;lt; &AMP; &Quot; &gt; &apos; &#65;");
}

TEST_F(XmlReader, AttributeQuirks) {
    XMLItem item("e", "");
    XMLParser::ParseAttributes("e a=\"1\" a=\"2\" empty=\"\" b c=\"3\"", &item);
    EXPECT_EQ(item.GetAttribute("a"), "1");
    EXPECT_TRUE(item.HasAttribute("empty"));
    EXPECT_EQ(item.GetAttribute("empty"), "");
    EXPECT_EQ(item.GetAttribute("b c"), "3");

    // An unclosed value takes the rest of the tag; nothing reads past its end.
    XMLItem open("e", "");
    XMLParser::ParseAttributes("e a=\"xyz", &open);
    EXPECT_EQ(open.GetAttribute("a"), "xyz");
    XMLItem bare("e", "");
    XMLParser::ParseAttributes("e a=", &bare);
    EXPECT_EQ(bare.GetAttribute("a"), "");
    XMLParser::ParseAttributes("e \"\"\"", &bare);
    XMLParser::ParseAttributes("e ?>?", &bare);
    EXPECT_EQ(XMLParser::GetTagName("br /"), "br");
    EXPECT_EQ(XMLParser::GetTagName("x/"), "x");
    EXPECT_EQ(XMLParser::GetTagName("solo"), "solo");
}

TEST_F(XmlReader, CommentsEndAtTheirFirstGreaterThan) {
    XMLNode* root = ParseFile("<!-- a > <X>in</X> -->\n<Y/>");
    EXPECT_NE(root->FindFirst("X"), nullptr);
    EXPECT_NE(root->FindFirst("Y"), nullptr);
}

TEST_F(XmlReader, ReportsOddTagsAndGoesOn) {
    XMLNode* root = ParseFile("<[weird]><![CDATA[x]]><Z/>");
    EXPECT_NE(root->FindFirst("Z"), nullptr);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Unknown tag-use: [weird]"});
}

TEST_F(XmlReader, MalformedTagsEndTheParseWithTheTreeSoFar) {
    XMLNode* root = ParseFile("<A/><B/>< ><C/>");
    EXPECT_NE(root->FindFirst("B"), nullptr);
    EXPECT_EQ(root->FindFirst("C"), nullptr);
    EXPECT_TRUE(parser.Failed());
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Error in XML!"});

    XMLParser second;
    WriteAll(folder.File("v.xml"), "<A/><B");
    XMLNode* r2 = second.Parse(folder.File("v.xml"));
    EXPECT_EQ(r2->GetChildren().size(), 1u);
    EXPECT_TRUE(second.Failed());
}

TEST_F(XmlReader, DeepNestingIsRefusedNotFollowed) {
    std::string text;
    // No name is a prefix of another. (Appended piece by piece: GCC 12 misreads
    // a sum of short texts as an overlapping copy.)
    auto tag = [&text](const char* open, int i) {
        text += open;
        text += 'a';
        text += std::to_string(10000 + i);
        text += '>';
    };
    for (int i = 0; i < 2000; ++i) tag("<", i);
    for (int i = 1999; i >= 0; --i) tag("</", i);
    ParseFile(text);
    EXPECT_TRUE(parser.Failed());
}

TEST_F(XmlReader, MissingEmptyAndUnreadableFiles) {
    XMLNode* root = parser.Parse(folder.File("none.xml"));
    EXPECT_TRUE(root->GetChildren().empty());
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Can't read file: " + folder.File("none.xml"));
    EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
    EXPECT_FALSE(parser.Failed());

    dialogs.Clear();
    XMLParser empty;
    WriteAll(folder.File("e.xml"), "");
    EXPECT_TRUE(empty.Parse(folder.File("e.xml"))->GetChildren().empty());
    EXPECT_TRUE(dialogs.Boxes().empty());

    XMLParser dir;
    EXPECT_TRUE(dir.Parse(folder.File("data"))->GetChildren().empty());
    EXPECT_TRUE(dir.Failed());
}

TEST_F(XmlReader, LinesAreJoinedWithCrLfAndANulEndsTheText) {
    XMLNode* root = ParseFile(std::string("<A>1\n2\r3</A>\0<B/>", 17));
    EXPECT_EQ(root->FindFirst("A")->GetItem()->Value, "1\r\n2\r\n3");
    EXPECT_EQ(root->FindFirst("B"), nullptr);
    // Joined in place when the text has room, else into a new text.
    for (size_t room : {0, 64}) {
        std::string text = "a\rb\r\nc\n\r\r\nd";
        text.reserve(text.size() + room);
        EXPECT_EQ(XMLParser::JoinLines(text), "a\r\nb\r\nc\r\n\r\n\r\nd\r\n");
    }
}

TEST_F(XmlReader, EachKindOfMessageShowsOncePerReadAndTheFaultsAreKnown) {
    std::string text = "<R><A>1</A>";
    for (int i = 0; i < 5000; ++i) text += "</X>";
    for (int i = 0; i < 5000; ++i) text += "<[x" + std::to_string(i) + "]>";
    text += "<U><B/></R>";
    const std::vector<std::string> once = {"Error in XML!", "Unknown tag-use: [x0]"};
    XMLNode* r = ParseFile(text)->FindFirst("R");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->GetChildren().size(), 3u);  // A, then U unclosed with B as its sibling
    EXPECT_EQ(dialogs.Texts(), once);
    EXPECT_TRUE(parser.Reported());
    EXPECT_TRUE(parser.LeftUnclosed());
    EXPECT_FALSE(parser.Failed());

    // Each read tells its own faults, also when a parser reads again; a
    // clean one tells none.
    dialogs.Clear();
    parser.ParseText(text + "< >");
    EXPECT_EQ(dialogs.Texts(), once);
    EXPECT_TRUE(parser.Failed());
    dialogs.Clear();
    parser.ParseText("<?xml version=\"1.0\"?><R><A>1</A><B/></R>");
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_FALSE(parser.Reported() || parser.LeftUnclosed() || parser.Failed());
    EXPECT_EQ(parser.Root->FindFirst("R")->GetChildValue("A"), "1");
}

namespace {
struct Cost {
    long long peakBytes;  // growth of the resident memory while the parser lived
    double seconds;       // of CPU
};

// The reader on a file, in a process of its own; Result() waits for it.
class Measurement {
public:
    explicit Measurement(const std::string& path)
        : child_(popen((std::string(XML_COST) + " '" + path + "'").c_str(), "r")) {}
    ~Measurement() {
        if (child_) pclose(child_);
    }
    Cost Result() {
        Cost cost{-1, -1};
        if (child_ && std::fscanf(child_, "%lld %lf", &cost.peakBytes, &cost.seconds) != 2) cost = {-1, -1};
        return cost;
    }

private:
    FILE* child_;
};

std::string Numbered(const char* format, int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, i);
    return buf;
}

std::string Repeated(const std::string& piece, size_t bytes) {
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) text += piece;
    return text;
}
}  // namespace

// Inputs that cost the old reader gigabytes or minutes: nesting as deep as it
// follows over a 2 MB rate file, 40,000 opening tags that never close,
// 100,000 distinct names opened inside each other, and 2 MB of nothing but
// tags, which once cost some 190 bytes per element. Each must be read within
// 4 times its size plus 50 MB, in seconds (the time bound is loose:
// benchmarks measure; this only catches a cost that grows with the square).
TEST_F(XmlReader, DeepUnclosedWideAndDenseInputsAreReadInBoundedTimeAndMemory) {
    struct Input {
        const char* kind;
        std::string text;
        std::function<void(XMLParser&)> check;
        std::string sample;  // the text checked, when not the one measured: the shape matters, not the size
    };
    constexpr size_t TwoMB = 2u << 20;
    std::string deep = "<?xml version=\"1.0\"?>\r\n<CURRSOURCE>\r\n", closers;
    for (int i = 1; i <= 496; ++i) {
        deep += Numbered("<N%03d>", i);
        closers = Numbered("</N%03d>", i) + closers;
    }
    int currencies = 0;
    for (; deep.size() < TwoMB; ++currencies)
        deep += "<CURRENCY><NAME>Currency " + std::to_string(currencies) +
                "</NAME><VALUE TYPE=\"PER_UNIT\">1.5</VALUE><SELECTED>YES</SELECTED></CURRENCY>\r\n";
    deep += closers + "</CURRSOURCE>\r\n";
    std::string unclosed;
    for (int i = 0; i < 40000; ++i) unclosed += "<u>";
    for (int i = 0; i < 40000; ++i) unclosed += "<c></c>";
    std::string wide;
    for (int i = 0; i < 100000; ++i) wide += Numbered("<n%05d>", i);
    for (int i = 0; i < 100000; ++i) wide += Numbered("</n%05d>", i);
    auto openedThenClosed = [](size_t bytes) {
        const std::string opened = Repeated("<a>", bytes / 7 * 3);
        return opened + Repeated("</a>", opened.size() / 3 * 4);
    };

    const Input inputs[] = {
        {"deep", deep,
         [&](XMLParser& p) {
             XMLNode* node = p.Root->FindFirst("CURRSOURCE");
             for (int i = 1; node && i <= 496; ++i) node = node->FindFirst(Numbered("N%03d", i));
             ASSERT_NE(node, nullptr);
             EXPECT_EQ(node->GetChildren().size(), static_cast<size_t>(currencies));
             EXPECT_EQ(node->GetChildren().back()->GetChildValue("NAME"),
                       "Currency " + std::to_string(currencies - 1));
             EXPECT_FALSE(p.Failed() || p.Reported() || p.LeftUnclosed());
         },
         {}},
        {"unclosed", unclosed,
         [](XMLParser& p) {
             EXPECT_EQ(p.Root->GetChildren().size(), 80000u);
             EXPECT_TRUE(p.LeftUnclosed());
         },
         {}},
        {"wide", wide,
         [](XMLParser& p) {
             // The first name closes at once around all the others, which
             // never close; the other closing tags close nothing.
             ASSERT_EQ(p.Root->GetChildren().size(), 1u);
             EXPECT_EQ(p.Root->GetChildren()[0]->GetChildren().size(), 99999u);
             EXPECT_TRUE(p.LeftUnclosed());
         },
         {}},
        {"opening tags", Repeated("<a>", TwoMB),
         [](XMLParser& p) {
             EXPECT_EQ(p.Root->GetChildren().size(), 10000u);
             EXPECT_EQ(p.Root->FindFirst("a")->GetItem()->Value, "");
             EXPECT_TRUE(p.LeftUnclosed());
         },
         Repeated("<a>", 30000)},
        {"empty elements", Repeated("<a/>", TwoMB),
         [](XMLParser& p) {
             EXPECT_EQ(p.Root->GetChildren().size(), 10000u);
             EXPECT_FALSE(p.Failed() || p.Reported() || p.LeftUnclosed());
         },
         Repeated("<a/>", 40000)},
        {"opening then closing tags", openedThenClosed(TwoMB),
         [](XMLParser& p) {
             // The first closing tag ends the first element, around all the
             // other opening tags, which never close; the rest close nothing.
             ASSERT_EQ(p.Root->GetChildren().size(), 1u);
             EXPECT_EQ(p.Root->GetChildren()[0]->GetChildren().size(), 9999u);
             EXPECT_TRUE(p.LeftUnclosed() && p.Reported());
         },
         openedThenClosed(70000)},
    };
    // Measured side by side, while the trees are checked here.
    std::vector<std::unique_ptr<Measurement>> measurements;
    for (size_t i = 0; i < std::size(inputs); ++i) {
        WriteAll(folder.File("big" + std::to_string(i) + ".xml"), inputs[i].text);
        measurements.push_back(std::make_unique<Measurement>(folder.File("big" + std::to_string(i) + ".xml")));
    }
    for (size_t i = 0; i < std::size(inputs); ++i) {
        const Input& input = inputs[i];
        SCOPED_TRACE(input.kind);
        dialogs.Clear();
        XMLParser big;
        if (input.sample.empty()) big.Parse(folder.File("big" + std::to_string(i) + ".xml"));
        else big.ParseText(input.sample);
        input.check(big);
        EXPECT_LE(dialogs.Texts().size(), 1u);

        const Cost cost = measurements[i]->Result();
        std::cout << "[ cost     ] " << input.kind << " (" << input.text.size() << " bytes): " << cost.seconds
                  << " s, " << cost.peakBytes / 1024 << " KB\n";
        ASSERT_GE(cost.peakBytes, 0);
        EXPECT_LT(cost.peakBytes, 4 * static_cast<long long>(input.text.size()) + (50 << 20));
        EXPECT_LT(cost.seconds, 10.0);
    }
}
