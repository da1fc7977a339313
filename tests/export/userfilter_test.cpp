// User templates from data/exportFilters.xml, exported through the dialog.
#include "export/exportfixture.h"

namespace {
class TemplateExport : public ExportDialog {
protected:
    // Exports our own small table through one template and returns the file.
    std::string Through(const std::string& target) {
        std::string path = folder.File("out-" + std::to_string(++runs));
        EXPECT_TRUE(ExportTo(target, path));
        return ReadAll(path);
    }
    void SmallTable() {
        OwnTable();
        Add("Two", "TWO", 2, "2 May, 2003");
    }
    int runs = 0;
};
}  // namespace

TEST_F(TemplateExport, TagsMatchInAnyLetterCase) {
    Filters("<?xml version=\"1.0\"?>\n<ExportFilters>\n<ExportFilter>\n"
            "  <body><TALLYVANESOURCENAME/>;<tallyvanesourcecopyright/>;<TallyvaneSourceUrl/>;"
            "<tallyvaneSourceUpdateUrl/>;<tallyvaneProgramName/>;<tallyvaneProgramVersion/>;"
            "<tallyvaneProgramUrl/>;<tallyvaneProgramCopyright/>;<currencyName/>\n<TALLYVANEREPEATER/>end</body>\n"
            "  <name>Caps</name><filename>caps.out</filename><defaultext>txt</defaultext>\n"
            "  <repeater>[<CURRENCYNAME/>|<currencyiso/>|<CurrencyDate/>|<currencyCOUNTER/>|<currencyValue/>|"
            "<tallyvaneSourceName/>]</repeater>\n"
            "</ExportFilter>\n</ExportFilters>\n");
    SmallTable();
    Settings::Instance()->savePath = "/keep";
    EXPECT_EQ(Through("Caps"),
              "Pacific;" + Source()->GetCopyright() +
                  ";fx.sauder.ubc.ca;fx.sauder.ubc.ca/today.html;Tallyvane;2.3 - April 5, 2003;"
                  "http://www.tallyvane.org/;Copyright (c) 2001-2003 Maren Holt. All rights reserved.;"
                  "<currencyName/>\r\n"
                  "[Unit|UNT|5 April, 2003|0|1|<tallyvaneSourceName/>][Two|TWO|2 May, 2003|1|2|<tallyvaneSourceName/>]"
                  "end\r\n");
    const FileDialogRequest& asked = dialogs.FileDialogs().back();
    EXPECT_EQ(asked.title, "Save Caps As");
    EXPECT_EQ(asked.fileName, "caps.out");
    EXPECT_EQ(asked.filter, "Caps|*txt|All-files|*.*");
    EXPECT_EQ(asked.initialDir, "/keep");
    EXPECT_EQ(Settings::Instance()->savePath, folder.Path());
}

TEST_F(TemplateExport, RowsGoBeforeEveryAnchorAndNeverMultiply) {
    Filters("<ExportFilters>"
            "<ExportFilter><name>Twice</name><body>A<tallyvaneRepeater/>B<tallyvaneRepeater/>C</body>"
            "<repeater><currencyISO/>,</repeater></ExportFilter>"
            "<ExportFilter><name>None</name><body><tallyvaneSourceName/> has <currencyName/></body>"
            "<repeater>x</repeater></ExportFilter>"
            "<ExportFilter><name>Nested</name><body>&lt;<tallyvaneRepeater/>></body>"
            "<repeater>(<currencyName/>:<tallyvaneRepeater/>)</repeater></ExportFilter>"
            "</ExportFilters>");
    SmallTable();
    Add("<tallyvaneRepeater/>", "ANC", 3);
    EXPECT_EQ(Through("Twice"), "AUNT,TWO,ANC,BUNT,TWO,ANC,C\r\n");
    EXPECT_EQ(Through("None"), "Pacific has <currencyName/>\r\n");
    EXPECT_EQ(Through("Nested"), "<(Unit:)(Two:)(:)>\r\n");
}

TEST_F(TemplateExport, WithoutAFilterFileOnlyTheBuiltInTargetsAreListed) {
    std::remove(DataFile("exportFilters.xml").c_str());
    WithDialog([] {});
    WithDialog([] {});
    EXPECT_EQ(Targets(), (std::vector<std::string>{"Excel", "CSV-file"}));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Can't find file: " + DataFile("exportFilters.xml")});
}

TEST_F(TemplateExport, AFailedWriteIsReported) {
    EXPECT_TRUE(ExportTo("Text list", folder.File("missing/rates.txt")));
    EXPECT_EQ(dialogs.Texts(),
              std::vector<std::string>{"Something went wrong. Perhaps I'll write some error handling some day."});
}

TEST_F(TemplateExport, TheShippedTemplatesExportTheTable) {
    WithDialog([] {});
    EXPECT_EQ(Targets(), (std::vector<std::string>{"Excel", "CSV-file", "HTML table", "Text list"}));
    const std::string html = Through("HTML table");
    EXPECT_EQ(html.substr(0, 17), "<!DOCTYPE html>\r\n");
    EXPECT_EQ(html.substr(html.size() - 9), "</html>\r\n");
    EXPECT_NE(html.find("<title>Exchange rates from Pacific</title>"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>Euro</td><td>EUR</td><td class=\"value\">"), std::string::npos);
    EXPECT_EQ(html.find("tallyvane"), html.find("tallyvane.org"));  // no tag is left
    EXPECT_EQ(html.find("&lt;"), std::string::npos);

    const std::string text = Through("Text list");
    EXPECT_EQ(text.rfind("Exchange rates from Pacific (fx.sauder.ubc.ca/today.html)\r\nValue: ", 0), 0u);
    EXPECT_NE(text.find("\r\nEuro (EUR): "), std::string::npos);
    EXPECT_EQ(text.find('<'), std::string::npos);
    int rows = 0;
    for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) rows += it.Next()->IsSelected();
    TStringList lines;
    lines.SetText(text);
    EXPECT_EQ(lines.Count(), rows + 6);
}
