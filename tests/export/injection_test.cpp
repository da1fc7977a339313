// Names, codes and dates from a hostile page served on 127.0.0.1, updated as
// the user does and then exported through every target: the spreadsheet link
// and the CSV file must never receive a formula, the CSV file must parse back
// into the same columns, an HTML template must get texts and never markup,
// and a template must grow by one row per currency and anchor, however its
// texts are arranged.
#include "export/exporter.h"
#include "export/exportfixture.h"
#include "export/exportuserfilter.h"
#include "platform/ddeman.h"
#include "support/httpserver.h"
#include "support/sheetserver.h"
#include "update/updatefixture.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <regex>
#include <set>

namespace {
class HostilePage : public ExportDialog {
protected:
    void SetUp() override {
        ExportDialog::SetUp();
        SetDdeFolder(folder.File("dde"));
        WriteAll(DataFile("Pacific.INI"), ShippedFile("Pacific.INI"));
        server = std::make_unique<TestHttpServer>(
            [page = SamplePage("hostile_pacific.html")](const HttpRequest&) { return HttpResponse::Ok(page); });
        SourceAddress::Set(Source(), server->HostPort());
        MainForm->Internet1->Click();  // "&Internet" on the Update button's menu
        ASSERT_TRUE(WaitUntil([] { return !MainForm->UpdateButton->Down(); }));
        ASSERT_EQ(server->Requests().size(), 1u);
        ASSERT_TRUE(dialogs.Texts().empty()) << dialogs.Texts()[0];
        base = Source()->FindCurrency(Source()->GetPreferredBase());
    }
    void TearDown() override {
        ExportDialog::TearDown();
        server.reset();
        SetDdeFolder("");
    }
    // Exports every currency, selected or not, to the target.
    bool ExportAll(const std::string& target, const std::string& path = "") {
        bool closed = false;
        if (!path.empty()) dialogs.QueueFile(path);
        WithDialog([&] {
            Pick(target);
            if (ExportForm->CheckBox1->Checked()) Click(ExportForm->CheckBox1);
            Click(ExportForm->Button1);
            closed = !ExportForm->Visible();
        });
        return closed;
    }
    struct Fields {
        std::string name, iso, value, date;
        bool operator==(const Fields&) const = default;
    };
    std::vector<Fields> Table(bool commaOnly = false) {
        std::vector<Fields> rows;
        for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) {
            CurrencyItem* c = it.Next();
            rows.push_back({c->GetName(), c->GetIso(), ExportValueText(Source(), base, c, commaOnly), c->GetDate()});
        }
        return rows;
    }

    std::unique_ptr<TestHttpServer> server;
    CurrencyItem* base = nullptr;
    // The page's date: its tags gone, cut before " at ".
    const std::string pageDate = "=HYPERLINK(\"http://x\")  &";
    // A date as a data file can hold it, with the anchor in it.
    const std::string date = "=HYPERLINK(\"http://x\") <tallyvaneRepeater/> & <b>";
};

// What a spreadsheet would run as a formula, marked as text.
std::string Guarded(const std::string& text) {
    return !text.empty() && std::string("=+-@\t\r").find(text[0]) != std::string::npos ? "'" + text : text;
}

class TemplateAnchors : public ExportDialog {
protected:
    std::string Through(const std::string& target) {
        const std::string path = folder.File("out-" + std::to_string(++runs));
        EXPECT_TRUE(ExportTo(target, path));
        return ReadAll(path);
    }
    int runs = 0;
};

// Splits a CSV text as a spreadsheet reads it: fields in double quotes may
// hold the separator, quotes (doubled) and line breaks; records end at CR LF.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text, const std::string& separator) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    size_t i = 0;
    while (i < text.size()) {
        std::string& field = records.back().back();
        if (field.empty() && text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] != '"') field += text[i];
                else if (i + 1 < text.size() && text[i + 1] == '"') field += text[++i];
                else break;
            }
            ++i;
        } else if (text.compare(i, separator.size(), separator) == 0) {
            records.back().emplace_back();
            i += separator.size();
        } else if (text.compare(i, 2, "\r\n") == 0) {
            records.emplace_back(1);
            i += 2;
        } else {
            field += text[i++];
        }
    }
    if (records.back() == std::vector<std::string>(1)) records.pop_back();
    return records;
}
}  // namespace

TEST_F(HostilePage, TheSpreadsheetGetsTextsNeverFormulasOrMacros) {
    FakeSheetServer server(DdeSocketPath("Excel", "System"));
    ASSERT_TRUE(ExportAll("Excel"));
    ASSERT_TRUE(server.WaitForHangUps(1));

    // Every command is one FORMULA with one string, or the new sheet: nothing
    // in a text can end the string and add a command of its own.
    const std::regex formula(R"re(\[FORMULA\("((?:[^"]|"")*)","R([0-9]+)C([1-4])"\)\])re");
    std::map<std::pair<int, int>, std::string> sheet;
    std::vector<std::string> commands = server.Commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands[0], "[NEW(1)]");
    for (size_t i = 1; i < commands.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(commands[i], m, formula)) << commands[i];
        std::string text = std::regex_replace(m[1].str(), std::regex("\"\""), "\"");
        sheet[{std::stoi(m[2]), std::stoi(m[3])}] = text;
    }
    // A text cell never starts as a formula; one that would is marked as text.
    auto shown = [](const std::string& cell) { return !cell.empty() && cell[0] == '\'' ? cell.substr(1) : cell; };
    for (const auto& [place, cell] : sheet) {
        if (place.second == 3 && place.first > 2) continue;  // the value: a number
        EXPECT_TRUE(cell.empty() || std::string("=+-@\t\r").find(cell[0]) == std::string::npos) << cell;
    }
    std::vector<Fields> rows;
    for (int row = 3; sheet.count({row, 2}); ++row)
        rows.push_back({shown(sheet[{row, 1}]), shown(sheet[{row, 2}]), sheet[{row, 3}], shown(sheet[{row, 4}])});
    EXPECT_EQ(rows, Table(true));
    EXPECT_EQ((sheet[{3 + static_cast<int>(rows.size()), 1}]), Source()->GetCopyright());

    // The hostile rows as they arrived: line breaks made blanks, tags gone.
    const std::vector<std::pair<std::string, std::string>> arrived = {
        {"=cmd|' /C calc'!A0", "=1+"}, {"+1", "+1"}, {"-2", "-2"}, {"@SUM(1)", "@SU"},
        {"\"Quoted\" name", "\"Q\""}, {"Comma, Inc.; Semi", ",;,"}, {"Line Break", "C R"},
        {"A&amp;B &lt;i&gt; bold &", "&lt"}, {"\")][EXEC(\"calc\")][FORMULA(\"", "])]"}};
    for (const auto& [name, iso] : arrived) {
        CurrencyItem* c = Source()->FindCurrency(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_STREQ(c->GetIso(), iso.c_str());
        EXPECT_EQ(c->GetDate(), pageDate);
    }
}

TEST_F(HostilePage, CsvColumnsParseBackWhateverTheSeparator) {
    Source()->AddCurrency("Two\r\nLines \"x\"", "\r\n", 2, "a, b\r\nc", true, false);  // as a data file can hold
    Source()->AddCurrency("Semi;=1+1", "SC", 1.5, "", true, false);
    Source()->AddCurrency("Tab\t=2+2", "TC", 1.5, "", true, false);
    int run = 0;
    for (const char* separator : {",", ";", "\t", "; ", "|"}) {
        MainForm->AppSettings->csvSep = separator;
        const std::string path = folder.File("out" + std::to_string(++run) + ".csv");
        ASSERT_TRUE(ExportAll("CSV-file", path));
        std::vector<std::vector<std::string>> records = ParseCsv(ReadAll(path), separator);
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records[0], ParseCsv("Name, ISO, Value, Date\r\n", separator)[0]);
        std::vector<Fields> rows;
        for (size_t i = 1; i < records.size(); ++i) {
            ASSERT_EQ(records[i].size(), 4u) << separator << " record " << i << ": " << records[i][0];
            rows.push_back({records[i][0], records[i][1], records[i][2], records[i][3]});
        }
        std::vector<Fields> expected = Table();
        for (Fields& f : expected) {
            std::erase(f.date, ',');
            f = {Guarded(f.name), Guarded(f.iso), f.value, Guarded(f.date)};
        }
        EXPECT_EQ(rows, expected) << "separator " << separator;
        // No text cell starts as a formula; a negative value stays a number.
        for (const Fields& f : rows)
            for (const std::string& cell : {f.name, f.iso, f.date})
                EXPECT_TRUE(cell.empty() || std::string("=+-@\t\r").find(cell[0]) == std::string::npos) << cell;
        // Nor when a spreadsheet splits the lines on another separator: a
        // name that holds one is quoted.
        for (const char* other : {",", ";", "\t"})
            for (const auto& record : ParseCsv(ReadAll(path), other))
                for (const std::string& cell : record)
                    EXPECT_TRUE(cell.empty() || cell[0] != '=') << separator << " read with " << other << ": " << cell;
    }
}

TEST_F(HostilePage, TheHtmlTemplateGetsTextsNeverMarkup) {
    Source()->AddCurrency("<script>alert(1)</script> & \"x\"", "<i>", 3, "<img src=x onerror=alert(1)>", true, false);
    const std::string path = folder.File("rates.html");
    ASSERT_TRUE(ExportAll("HTML table", path));
    const std::string html = ReadAll(path);

    // Only the template's own elements, and every "&" starts an escape.
    const std::set<std::string> own = {"!DOCTYPE", "html", "head", "meta", "title", "style", "body",
                                       "h1",       "a",    "p",    "table", "tr",   "th",   "td"};
    const std::regex tag("<(/?)([^\\s>/]*)");
    std::map<std::string, int> opened;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), tag); it != std::sregex_iterator(); ++it) {
        EXPECT_TRUE(own.count((*it)[2])) << (*it)[0];
        if ((*it)[1] == "") ++opened[(*it)[2]];
    }
    const std::vector<Fields> table = Table();
    EXPECT_EQ(opened["tr"], static_cast<int>(table.size()) + 1);
    EXPECT_EQ(opened["td"], 4 * static_cast<int>(table.size()));
    EXPECT_FALSE(std::regex_search(html, std::regex("&(?!amp;|lt;|gt;|quot;)")));

    // Every cell reads back as the currency's text.
    auto unescaped = [](std::string text) {
        for (auto [from, to] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
            text = std::regex_replace(text, std::regex(from), to);
        return text;
    };
    const std::regex row(R"re(<tr><td>([^<"]*)</td><td>([^<"]*)</td><td class="value">([^<"]*)</td><td>([^<"]*)</td></tr>)re");
    std::vector<Fields> rows;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator(); ++it)
        rows.push_back({unescaped((*it)[1]), unescaped((*it)[2]), unescaped((*it)[3]), unescaped((*it)[4])});
    EXPECT_EQ(rows, table);
}

TEST_F(HostilePage, ATemplateGrowsByOneRowPerCurrencyWhateverItsTextsHold) {
    // The repeater holds the anchor, and so does the date of every currency
    // from the page.
    Filters("<ExportFilters><ExportFilter><name>Rows</name><filename>rows.txt</filename>"
            "<repeater>[<currencyName/>|<currencyDate/>]<tallyvaneRepeater/></repeater>"
            "<body>A<tallyvaneRepeater/>B</body></ExportFilter></ExportFilters>");
    auto expected = [&] {
        std::string out = "A";
        for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) {
            CurrencyItem* c = it.Next();
            out += std::string("[") + c->GetName() + "|" +
                   ExportUserFilter::ReplaceAll(c->GetDate(), "<tallyvaneRepeater/>", "") + "]";
        }
        return out + "B\r\n";
    };
    const std::string first = folder.File("rows1.txt");
    ASSERT_TRUE(ExportAll("Rows", first));
    EXPECT_EQ(ReadAll(first), expected());
    for (int i = 0; i < 1000; ++i) Source()->AddCurrency("Many " + std::to_string(i), "M", 1, date, true, false);
    const std::string second = folder.File("rows2.txt");
    ASSERT_TRUE(ExportAll("Rows", second));
    EXPECT_EQ(ReadAll(second), expected());
    // 1000 rows of "[Many n|" plus the date without its anchor plus "]".
    EXPECT_LT(ReadAll(second).size(), ReadAll(first).size() + 1000 * (12 + date.size()));
}

TEST_F(TemplateAnchors, AnAnchorJoinedFromPiecesNeverMultipliesTheRows) {
    // Removing the anchor from a row, or a row meeting the text before its
    // anchor, can join a new anchor; it must not take rows of its own.
    Filters("<ExportFilters>"
            "<ExportFilter><name>Pieces</name><body>A<tallyvaneRepeater/>B</body>"
            "<repeater>[<currencyName/>]&lt;tallyvane<tallyvaneRepeater/>Repeater/></repeater></ExportFilter>"
            "<ExportFilter><name>Joined</name><body>A&lt;tallyvaneRep<tallyvaneRepeater/>B</body>"
            "<repeater>eater/>[<currencyName/>]</repeater></ExportFilter>"
            "</ExportFilters>");
    OwnTable();
    for (const char* name : {"Two", "Three", "Four", "Five", "Six", "Seven", "Eight"}) Add(name, "X", 2);
    const std::string rows = "[Unit][Two][Three][Four][Five][Six][Seven][Eight]";
    EXPECT_EQ(Through("Pieces"), "A" + rows + "B\r\n");
    EXPECT_EQ(Through("Joined"), "A<tallyvaneRep" + ExportUserFilter::ReplaceAll(rows, "[", "eater/>[") + "B\r\n");
}
