// The export dialog and the CSV target, worked as a user does.
#include "export/exportfixture.h"
#include "support/layoutcheck.h"

#include <algorithm>
#include <filesystem>

namespace {
class CsvExport : public ExportDialog {
protected:
    std::string Csv(const std::string& separator) {
        Settings::Instance()->csvSep = separator;
        std::string path = folder.File("rates-" + std::to_string(++runs) + ".csv");
        EXPECT_TRUE(ExportTo("CSV-file", path));
        return ReadAll(path);
    }
    int runs = 0;
};
}  // namespace

TEST_F(CsvExport, ValuesAreGeneralNumbersWithAPoint) {
    OwnTable();
    Add("One", "ONE", 1);
    Add("Third", "THD", 1.0L / 3);
    Add("Small", "SML", 0.00001L);
    Add("Smaller", "SMR", 9.9e-6L);
    Add("Big", "BIG", 1e15L);
    Add("Zero", "ZRO", 0);
    const std::string expected =
        "Name, ISO, Value, Date\r\nUnit;UNT;1;5 April 2003\r\nOne;ONE;1;d\r\nThird;THD;0.333333333333333;d\r\n"
        "Small;SML;0.00001;d\r\nSmaller;SMR;9.9E-6;d\r\nBig;BIG;1E15;d\r\nZero;ZRO;0;d\r\n";
    EXPECT_EQ(Csv(";"), expected);
    SetSystemDecimalSeparator(',');  // the desktop's comma never reaches the file
    EXPECT_EQ(Csv(";"), expected);
}

TEST_F(CsvExport, SeparatorsStandBetweenFieldsAndFieldsThatHoldThemAreQuoted) {
    OwnTable();
    Add("Half", "", 0.5, "1 May, 2003, noon");
    Add("Say \"Hi\", Co", "SAY", 2);
    EXPECT_EQ(Csv(";"),
              "Name, ISO, Value, Date\r\nUnit;UNT;1;5 April 2003\r\nHalf;;0.5;1 May 2003 noon\r\n"
              "\"Say \"\"Hi\"\", Co\";SAY;2;d\r\n");
    EXPECT_EQ(Csv(""), "Name, ISO, Value, Date\r\nUnitUNT15 April 2003\r\nHalf0.51 May 2003 noon\r\n"
                       "\"Say \"\"Hi\"\", Co\"SAY2d\r\n");
    EXPECT_EQ(Csv("::"), "Name, ISO, Value, Date\r\nUnit::UNT::1::5 April 2003\r\nHalf::::0.5::1 May 2003 noon\r\n"
                         "\"Say \"\"Hi\"\", Co\"::SAY::2::d\r\n");
    EXPECT_EQ(Csv("."), "Name, ISO, Value, Date\r\nUnit.UNT.1.5 April 2003\r\nHalf..\"0.5\".1 May 2003 noon\r\n"
                        "\"Say \"\"Hi\"\", Co\".SAY.2.d\r\n");
}

TEST_F(CsvExport, TheSaveDialogAsksBeforeReplacingAndRemembersTheFolder) {
    Filters("<ExportFilters><ExportFilter><name>T</name></ExportFilter></ExportFilters>");
    Settings::Instance()->savePath = "/somewhere";
    const std::string path = folder.File("old.csv");
    WriteAll(path, "old bytes");
    bool open = false;
    dialogs.QueueFile(path);
    dialogs.QueueAnswer(mrNo);
    dialogs.QueueFile("");  // cancelled after No
    WithDialog([&] {
        Pick("CSV-file");
        Click(ExportForm->Button1);
        open = ExportForm->Visible();
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(ReadAll(path), "old bytes");
    EXPECT_EQ(Settings::Instance()->savePath, "/somewhere");
    ASSERT_EQ(dialogs.FileDialogs().size(), 2u);
    const FileDialogRequest& asked = dialogs.FileDialogs()[0];
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.title, "Save CSV-File As");
    EXPECT_EQ(asked.fileName, "Pacific.csv");
    EXPECT_EQ(asked.filter, "csv-file|*.CSV|txt-file|*.TXT");
    EXPECT_EQ(asked.initialDir, "/somewhere");
    EXPECT_EQ(asked.defaultExt, "");
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"File " + path +
                                                        " already exists.\nDo you want to replace this file?"});
    EXPECT_EQ(dialogs.Boxes()[0].type, mtInformation);

    // Yes replaces it (and nothing else: the user's file of the name a save
    // might take for itself stays), and the next save dialog of any file
    // target opens there.
    WriteAll(path + ".tmp", "the user's");
    dialogs.QueueAnswer(mrYes);
    EXPECT_TRUE(ExportTo("CSV-file", path));
    EXPECT_EQ(ReadAll(path).substr(0, 24), "Name, ISO, Value, Date\r\n");
    EXPECT_EQ(ReadAll(path + ".tmp"), "the user's");
    EXPECT_EQ(Settings::Instance()->savePath, folder.Path());
    dialogs.QueueFile("");
    WithDialog([&] {
        Pick("T");
        Click(ExportForm->Button1);
    });
    EXPECT_EQ(dialogs.FileDialogs().back().initialDir, folder.Path());
}

TEST_F(CsvExport, AFailedWriteIsReportedAndTheRunStillCounts) {
    const std::string inPlace = folder.File("taken.csv");
    std::filesystem::create_directory(inPlace);
    WriteAll(inPlace + "/keep", "kept");
    EXPECT_TRUE(ExportTo("CSV-file", folder.File("missing/rates.csv")));
    EXPECT_TRUE(ExportTo("CSV-file", inPlace));
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>(2, "Something went wrong. Perhaps I'll write some "
                                                           "error handling some day."));
    EXPECT_EQ(ReadAll(inPlace + "/keep"), "kept");
    std::vector<std::string> left;  // no half-written or temporary file stays behind
    for (auto& e : std::filesystem::directory_iterator(folder.Path())) left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"data", "taken.csv", "tallyvane2.ini"}));
}

TEST_F(ExportDialog, TheCheckBoxChoosesBetweenSelectedAndAllCurrencies) {
    for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) it.Next()->SetSelected(false);
    const std::string path = folder.File("r.csv");
    EXPECT_TRUE(ExportTo("CSV-file", path));
    EXPECT_EQ(ReadAll(path), "Name, ISO, Value, Date\r\n");

    Source()->FindCurrency("Euro")->SetSelected(true);
    dialogs.QueueAnswer(mrYes);
    dialogs.QueueFile(path);
    WithDialog([&] {
        Pick("CSV-file");
        Click(ExportForm->CheckBox1);  // cleared: everything, in list order
        Click(ExportForm->Button1);
    });
    EXPECT_FALSE(ExportForm->CheckBox1->Checked());  // kept for the next show
    TStringList lines;
    lines.SetText(ReadAll(path));
    CurrItr it = Source()->GetCurrencies();
    for (int i = 1; i < lines.Count(); ++i) {
        ASSERT_TRUE(it.HasNext());
        EXPECT_EQ(lines[i].rfind(std::string(it.Next()->GetName()) + ",", 0), 0u);
    }
    EXPECT_FALSE(it.HasNext());
}

TEST_F(ExportDialog, EveryRunTakesTheCurrentSourceAndBase) {
    OwnTable();
    Add("Two", "TWO", 2);
    const std::string path = folder.File("r.csv");
    EXPECT_TRUE(ExportTo("CSV-file", path));
    EXPECT_NE(ReadAll(path).find("Two,TWO,2,d"), std::string::npos);
    Source()->AddCurrency("Half", "HLF", 0.5, "d", false, false);
    Source()->SetPreferredBase("Half");
    dialogs.QueueAnswer(mrYes);
    EXPECT_TRUE(ExportTo("CSV-file", path));
    EXPECT_NE(ReadAll(path).find("Two,TWO,1,d"), std::string::npos);
    Source()->SetPreferredBase("No such currency");
    dialogs.QueueAnswer(mrYes);
    EXPECT_TRUE(ExportTo("CSV-file", path));
    EXPECT_EQ(ReadAll(path), "Name, ISO, Value, Date\r\nUnit,UNT,0,5 April 2003\r\nTwo,TWO,0,d\r\n");

    // A switch of the source in the settings reaches the next show.
    MainForm->CurrentSource = MainForm->Sources[1];
    dialogs.QueueFile("");
    WithDialog([&] {
        Pick("CSV-file");
        Click(ExportForm->Button1);
    });
    EXPECT_EQ(ExportForm->Source, MainForm->Sources[1]);
    EXPECT_EQ(dialogs.FileDialogs().back().fileName, MainForm->Sources[1]->GetName() + ".csv");
}

TEST_F(ExportDialog, TheRunSurvivesCurrenciesDeletedWhileABoxIsOpen) {
    OwnTable();
    Add("Two", "TWO", 2);
    Add("Gone", "GNE", 3);
    const std::string path = folder.File("r.csv");
    WriteAll(path, "old");
    struct Hook : ScriptedResponder {
        std::function<void()> onBox;
        int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
            if (onBox) onBox();
            return ScriptedResponder::MessageDlg(text, type, buttons);
        }
    } hook;
    hook.onBox = [&] {
        Source()->RemoveCurrency(Source()->FindCurrency("Unit"));  // the base
        Source()->RemoveCurrency(Source()->FindCurrency("Gone"));
    };
    hook.QueueFile(path);
    hook.QueueAnswer(mrYes);
    hook.QueueModal([&](TForm*) {
        Pick("CSV-file");
        Click(ExportForm->Button1);
    });
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(ReadAll(path), "Name, ISO, Value, Date\r\nTwo,TWO,2,d\r\n");  // against the base as the run found it
}

TEST_F(ExportDialog, TheTargetListKeepsTheChoiceByNameBetweenShows) {
    Filters("<ExportFilters>"
            "<ExportFilter><name></name></ExportFilter>"
            "<ExportFilter><name>csv-FILE</name></ExportFilter>"
            "<ExportFilter><name>Report</name></ExportFilter>"
            "<ExportFilter><name>REPORT</name></ExportFilter>"
            "</ExportFilters>");
    std::string shown;
    WithDialog([&] { shown = ExportForm->ComboBox1->Text(); });
    EXPECT_EQ(Targets(), (std::vector<std::string>{"Excel", "CSV-file", "", "csv-FILE", "Report", "REPORT"}));
    EXPECT_EQ(shown, "Excel");  // not the template without a name

    int index = -1;
    auto chooseThenReopen = [&](const std::string& target) {
        WithDialog([&] { Pick(target); });
        WithDialog([&] { index = ExportForm->ComboBox1->ItemIndex(); });
    };
    chooseThenReopen("csv-FILE");
    EXPECT_EQ(index, 1);  // the first entry of that name in any letter case
    chooseThenReopen("REPORT");
    EXPECT_EQ(index, 4);
    chooseThenReopen("");
    EXPECT_EQ(index, 2);

    // Cancel closes without exporting.
    WithDialog([&] { Click(ExportForm->Button2); });
    EXPECT_FALSE(ExportForm->Visible());
    EXPECT_TRUE(dialogs.FileDialogs().empty());
}

TEST_F(ExportDialog, LooksRight) {
    WithDialog([&] {
        QApplication::processEvents();
        EXPECT_EQ(LayoutProblems(ExportForm), std::vector<std::string>{});
        EXPECT_EQ(ExportForm->ClientWidth(), 269);
        EXPECT_EQ(ExportForm->ClientHeight(), 129);
        EXPECT_TRUE(ExportForm->Image1->HasPicture());
        EXPECT_TRUE(ExportForm->CheckBox1->Checked());
        SaveScreenshot(ExportForm, "export");
    });
}
