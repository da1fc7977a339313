// The "Excel" target against a fake spreadsheet serving the link.
#include "export/excelctrl.h"
#include "export/exportexcel.h"
#include "export/exportfixture.h"
#include "platform/ddeman.h"
#include "support/fakebackends.h"
#include "support/sheetserver.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {
class ExcelExport : public ExportDialog {
protected:
    void SetUp() override {
        ExportDialog::SetUp();
        SetDdeFolder(folder.File("dde"));
    }
    void TearDown() override {
        ExportDialog::TearDown();
        SetDdeFolder("");
    }
    std::string Socket() { return DdeSocketPath("Excel", "System"); }
    FakeRegistry registry;
    // Presses Export with "Excel" chosen; true when the dialog closed.
    bool Export(std::function<void()> before = nullptr) {
        bool closed = false;
        WithDialog([&] {
            Pick("Excel");
            if (before) before();
            Click(ExportForm->Button1);
            closed = !ExportForm->Visible();
        });
        return closed;
    }
    static std::string Cell(const std::string& text, int row, int column) {
        return "[FORMULA(\"" + text + "\",\"R" + std::to_string(row) + "C" + std::to_string(column) + "\")]";
    }
    std::vector<std::string> Stream(std::initializer_list<std::vector<std::string>> rows) {
        std::vector<std::string> out{"[NEW(1)]", Cell("Currencies from: Pacific", 1, 1)};
        int row = 2;
        for (const auto& cells : rows) {
            for (size_t c = 0; c < cells.size(); ++c) out.push_back(Cell(cells[c], row, static_cast<int>(c) + 1));
            ++row;
        }
        out.push_back(Cell(Source()->GetCopyright(), row, 1));
        return out;
    }
};
}  // namespace

TEST_F(ExcelExport, ThreeCurrenciesFillRowsOneToSix) {
    FakeSheetServer server(Socket());
    registry.PutInteger(HKEY_CLASSES_ROOT, ".xls", "", 1);  // would show a message if it were read
    OwnTable();
    Add("Two", "TWO", 2.5, "2 May, 2003");
    Add("Blank", "", 0.25);
    SetSystemDecimalSeparator(',');
    EXPECT_TRUE(Export());
    ASSERT_TRUE(server.WaitForHangUps(1));
    EXPECT_EQ(server.Commands(), Stream({{"Name", "ISO", "Value", "Date"},
                                         {"Unit", "UNT", "1", "5 April, 2003"},
                                         {"Two", "TWO", "2.5", "2 May, 2003"},
                                         {"Blank", "", "0.25", "d"}}));
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_TRUE(launches.Launches().empty());
}

TEST_F(ExcelExport, WithNothingExportedTheSheetHoldsTitleAndNotice) {
    FakeSheetServer server(Socket());
    for (CurrItr it = Source()->GetCurrencies(); it.HasNext();) it.Next()->SetSelected(false);
    EXPECT_TRUE(Export());
    ASSERT_TRUE(server.WaitForHangUps(1));
    EXPECT_EQ(server.Commands(), Stream({}));
}

TEST_F(ExcelExport, QuotesAreDoubledAndTextsNeverReadAsFormulas) {
    FakeSheetServer server(Socket());
    OwnTable();
    Source()->FindCurrency("Unit")->SetSelected(false);
    Add("=HYPERLINK(\"x\")", "-AB", -2, "@now");
    Add("+1 \"", "@", 1, "-");
    Add("\tTab", "\rCR", 3, "\t2");  // as CSV export guards them
    EXPECT_TRUE(Export());
    ASSERT_TRUE(server.WaitForHangUps(1));
    EXPECT_EQ(server.Commands(), Stream({{"Name", "ISO", "Value", "Date"},
                                         {"'=HYPERLINK(\"\"x\"\")", "'-AB", "-2", "'@now"},
                                         {"'+1 \"\"", "'@", "1", "'-"},
                                         {"'\tTab", "'\rCR", "3", "'\t2"}}));
}

TEST_F(ExcelExport, WithoutAServerNothingIsSentAndTheDialogStaysOpen) {
    EXPECT_FALSE(Export());
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_EQ(launches.Files(), std::vector<std::string>{"Excel"});  // started by name, then the link tried again

    // The command registered for spreadsheet files is started next.
    registry.PutString(HKEY_CLASSES_ROOT, ".xls", "", "Sheet.8");
    registry.PutString(HKEY_CLASSES_ROOT, "Sheet.8\\shell\\Open\\Command", "", "\"/opt/sheet/bin/sheet\" -e \"%1\"");
    launches.Clear();
    EXPECT_FALSE(Export());
    ASSERT_EQ(launches.Launches().size(), 2u);
    EXPECT_EQ(launches.Launches()[1].file, "/opt/sheet/bin/sheet");
    EXPECT_EQ(launches.Launches()[1].parameters, "-e \"%1\"");

    // A server that answers by the next press is found at once.
    FakeSheetServer server(Socket());
    launches.Clear();
    EXPECT_TRUE(Export());
    EXPECT_TRUE(launches.Launches().empty());
}

TEST_F(ExcelExport, ARegistryValueThatIsNoTextShowsItsMessage) {
    registry.PutInteger(HKEY_CLASSES_ROOT, ".xls", "", 8);
    EXPECT_FALSE(Export());
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{"Invalid data type for ''"});
}

TEST_F(ExcelExport, ARefusedCommandIsDroppedAndTheRowsStillCount) {
    FakeSheetServer server(Socket());
    server.Refuse(4);  // "ISO" of the header
    OwnTable();
    Add("Two", "TWO", 2);
    EXPECT_TRUE(Export());
    ASSERT_TRUE(server.WaitForHangUps(1));
    std::vector<std::string> all = Stream({{"Name", "ISO", "Value", "Date"}, {"Unit", "UNT", "1", "5 April, 2003"},
                                           {"Two", "TWO", "2", "d"}});
    EXPECT_EQ(server.Commands(), all);
    all.erase(all.begin() + 3);
    EXPECT_EQ(server.Done(), all);
}

TEST_F(ExcelExport, ASilentServerEndsTheWaitAndLaterCellsAreDropped) {
    FakeSheetServer server(Socket());
    server.SilentFrom(3);
    OwnTable();
    Add("Two", "TWO", 2);
    // A whole run, each reply waited for that long at most.
    auto run = [&](int replyLimit) {
        ExportExcel excel;
        excel.Prepare(Source(), Source()->FindCurrency("Unit"));
        excel.Excel->Conversation->SetReplyTimeout(replyLimit);
        ASSERT_TRUE(excel.Start());
        for (CurrItr it = Source()->GetCurrencies(); it.HasNext();)
            if (CurrencyItem* c = it.Next(); c->IsSelected()) excel.WriteCurrency(c);
        excel.Finish();
        EXPECT_EQ(excel.Row, 6);  // every row counted
        EXPECT_FALSE(excel.Excel->IsConnected());
    };
    QElapsedTimer t;
    t.start();
    run(200);
    EXPECT_GE(t.elapsed(), 190);
    EXPECT_LT(t.elapsed(), 5000);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>{SheetIncomplete});  // said once, at the end
    ASSERT_TRUE(server.WaitForHangUps(1));
    // The waited command and the one running ahead of it reach the server; the rest is dropped.
    std::vector<std::string> sent = server.Commands();
    ASSERT_GE(sent.size(), 3u);
    ASSERT_LE(sent.size(), 4u);
    EXPECT_EQ(sent[2], Cell("Name", 2, 1));

    // Silent from the notice on, the last of 15 commands: nothing comes after
    // it to be dropped, and the sheet still lacks it.
    server.Answer();
    server.SilentFrom(static_cast<int>(sent.size()) + 15);
    run(200);
    ASSERT_TRUE(server.WaitForHangUps(2));
    EXPECT_EQ(server.Commands().size(), sent.size() + 15);
    EXPECT_EQ(dialogs.Texts(), std::vector<std::string>(2, SheetIncomplete));

    // The program told to end while the notice waits: nothing more is said.
    server.Answer();
    const size_t before = server.Commands().size();
    server.SilentFrom(static_cast<int>(before) + 15);
    std::function<void()> endAtTheNotice = [&] {
        if (server.Commands().size() < before + 15) return QTimer::singleShot(1, endAtTheNotice);
        app->Terminate();
    };
    QTimer::singleShot(0, endAtTheNotice);
    run(10000);
    EXPECT_EQ(dialogs.Texts().size(), 2u);
}

TEST_F(ExcelExport, ASecondPressAndChangesDuringARunDoNoHarm) {
    FakeSheetServer server(Socket());
    server.SilentFrom(3);  // the run waits at the header until the currencies are gone
    OwnTable();
    Add("Two", "TWO", 2);
    bool pressed = false;
    auto stage = std::make_shared<int>(0);  // 0 waiting for the header, 1 removed, 2 the test is over
    std::function<void()> removeOnceWriting = [&, stage] {
        if (*stage != 0) return;
        if (server.Commands().size() < 3) return QTimer::singleShot(1, removeOnceWriting);
        // The header is out, so the currencies are being written.
        Source()->RemoveCurrency(Source()->FindCurrency("Two"));
        Source()->RemoveCurrency(Source()->FindCurrency("Unit"));  // the base
        *stage = 1;
        server.Answer();
    };
    EXPECT_TRUE(Export([&] {
        // Both run while the run serves the program's messages.
        QTimer::singleShot(0, [&] {
            Click(ExportForm->Button1);
            pressed = true;
        });
        QTimer::singleShot(0, removeOnceWriting);
    }));
    EXPECT_EQ(*stage, 1);
    *stage = 2;
    EXPECT_TRUE(pressed);
    ASSERT_TRUE(server.WaitForHangUps(1));
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_EQ(server.Commands(), Stream({{"Name", "ISO", "Value", "Date"}, {"Unit", "UNT", "1", "5 April, 2003"},
                                         {"Two", "TWO", "2", "d"}}));
}

TEST_F(ExcelExport, TheDialogStaysWhileARunWaitsAndExitStopsTheRun) {
    FakeSheetServer server(Socket());
    server.SilentFrom(5);  // the run waits inside the header row
    OwnTable();
    Add("Two", "TWO", 2);
    bool stayed = false;
    std::function<void()> closeThenExit = [&] {
        if (server.Commands().size() < 5) return QTimer::singleShot(1, closeThenExit);
        QTest::keyClick(ExportForm->Handle(), Qt::Key_Escape);
        stayed = ExportForm->Visible();
        MainForm->FileExit1->Execute();  // frees the source the run exports
    };
    EXPECT_FALSE(Export([&] { QTimer::singleShot(0, closeThenExit); }));
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(app->Terminated());
    ASSERT_TRUE(server.WaitForHangUps(1));
    EXPECT_LE(server.Commands().size(), 6u);  // no currency row went out after the end
    EXPECT_TRUE(dialogs.Texts().empty());
}
