// The DDE-style link over local sockets, against a server in another thread,
// and the read-only registry.
#include "platform/ddeman.h"
#include "platform/forms.h"
#include "platform/registry.h"
#include "platform/shellapi.h"
#include "support/fakebackends.h"
#include "support/sheetserver.h"
#include "support/testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace {
class Dde : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureToolkit();
        app = std::make_unique<TApplication>();
        SetDdeFolder(folder.File("dde"));
        conv = std::make_unique<TDdeClientConv>(nullptr);
        conv->SetConnectMode(ddeManual);
        conv->SetLink("Sheet", "System");
        conv->OnOpen = [this](TObject*) { ++opened; };
        conv->OnClose = [this](TObject*) { ++closed; };
    }
    void TearDown() override {
        conv.reset();
        app.reset();
        QApplication::processEvents();
        SetDdeFolder("");
    }
    std::string Socket() const { return DdeSocketPath("Sheet", "System"); }
    // Serves the messages until done holds; false after five seconds.
    static bool Until(const std::function<bool()>& done) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > 5000) return false;
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    // Waits as the spreadsheet link does; the time it took.
    qint64 Wait() {
        QElapsedTimer t;
        t.start();
        while (conv->WaitStat()) Application->HandleMessage();
        return t.elapsed();
    }

    TempFolder folder;
    std::unique_ptr<TApplication> app;
    std::unique_ptr<TDdeClientConv> conv;
    int opened = 0, closed = 0;
};
}  // namespace

TEST_F(Dde, SocketNamesIgnoreLetterCaseAndKeepToPlainCharacters) {
    EXPECT_EQ(DdeSocketPath("Excel", "System"), folder.File("dde") + "/excel.system");
    EXPECT_EQ(DdeSocketPath("My App", "a/b.C"), folder.File("dde") + "/my%20app.a%2Fb%2Ec");
    FakeSheetServer server(DdeSocketPath("sheet", "SYSTEM"));
    EXPECT_TRUE(conv->OpenLink());
    EXPECT_TRUE(conv->LinkOpen());
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(conv->OpenLink());  // already open
    EXPECT_EQ(opened, 1);
    conv->CloseLink();
    EXPECT_FALSE(conv->LinkOpen());
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(server.WaitForHangUps(1));
}

TEST_F(Dde, CommandsRunOneAheadOfTheServerUnlessTheCallerWaits) {
    FakeSheetServer server(Socket());
    server.Refuse(2);
    EXPECT_FALSE(conv->ExecuteMacro("a", false));  // not open yet
    ASSERT_TRUE(conv->OpenLink());
    EXPECT_TRUE(conv->ExecuteMacro("a", false));
    EXPECT_FALSE(conv->ExecuteMacro("b", false));  // "a" is not answered yet
    EXPECT_TRUE(conv->ExecuteMacro("b", true));
    EXPECT_TRUE(conv->WaitStat());
    EXPECT_FALSE(conv->ExecuteMacro("c", true));
    Wait();
    EXPECT_FALSE(conv->WaitStat());
    EXPECT_TRUE(conv->ExecuteMacro("c\r\n\"ü\"", false));
    ASSERT_TRUE(server.WaitForCommands(3));
    EXPECT_EQ(server.Commands(), (std::vector<std::string>{"a", "b", "c\r\n\"ü\""}));
    conv->CloseLink();
    ASSERT_TRUE(server.WaitForHangUps(1));
    EXPECT_EQ(server.Done(), (std::vector<std::string>{"a", "c\r\n\"ü\""}));  // the server refused "b"
}

TEST_F(Dde, AWaitedReplyIsGivenUpButHoldsBackCommandsUntilItComes) {
    conv->SetReplyTimeout(150);
    FakeSheetServer server(Socket());
    server.SilentFrom(1);
    ASSERT_TRUE(conv->OpenLink());
    ASSERT_TRUE(conv->ExecuteMacro("a", true));
    qint64 waited = Wait();
    EXPECT_GE(waited, 140);
    EXPECT_LT(waited, 5000);
    EXPECT_TRUE(conv->LinkOpen());
    EXPECT_FALSE(conv->ExecuteMacro("b", false));
    EXPECT_FALSE(conv->ExecuteMacro("b", true));
    server.Answer();
    EXPECT_TRUE(Until([&] { return conv->ExecuteMacro("b", false); }));
    ASSERT_TRUE(server.WaitForCommands(2));
    EXPECT_EQ(server.Commands(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(Dde, ALostOrBrokenLinkEndsTheWaitAndRefusesCommands) {
    {
        FakeSheetServer server(Socket());
        server.SilentFrom(1);
        server.HangUpAfter(1);
        ASSERT_TRUE(conv->OpenLink());
        ASSERT_TRUE(conv->ExecuteMacro("a", true));
        EXPECT_LT(Wait(), 5000);  // well before the reply time-out
        EXPECT_FALSE(conv->LinkOpen());
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(conv->ExecuteMacro("b", false));
        EXPECT_FALSE(conv->ExecuteMacro("b", true));
    }
    {
        // Writing to a server that has gone, before the loss was noticed.
        FakeSheetServer server(Socket());
        server.HangUpAfter(1);
        ASSERT_TRUE(conv->OpenLink());
        ASSERT_TRUE(conv->ExecuteMacro("a", false));
        ASSERT_TRUE(server.WaitForHangUps(1));
        conv->ExecuteMacro("b", true);
        conv->ExecuteMacro("c", true);
        EXPECT_LT(Wait(), 5000);
        EXPECT_TRUE(Until([&] { return !conv->LinkOpen(); }));
        EXPECT_EQ(closed, 2);
    }
    FakeSheetServer server(Socket());
    server.AnswerWithGarbage();
    ASSERT_TRUE(conv->OpenLink());
    ASSERT_TRUE(conv->ExecuteMacro("a", true));
    EXPECT_LT(Wait(), 5000);
    EXPECT_FALSE(conv->LinkOpen());
    EXPECT_EQ(closed, 3);
}

TEST_F(Dde, WithoutAServerTheServiceApplicationIsStartedAndTriedOnceMore) {
    EXPECT_FALSE(conv->OpenLink());  // no server, nothing to start
    struct Starter : ShellLauncher {
        std::string socket;
        bool works = true;
        std::vector<std::string> started;
        std::unique_ptr<FakeSheetServer> server;
        int Launch(const std::string&, const std::string& file, const std::string& parameters,
                   const std::string&) override {
            started.push_back(file + "|" + parameters);
            if (!works) return SE_ERR_FNF;
            server = std::make_unique<FakeSheetServer>(socket);
            return SHELL_LAUNCHED;
        }
    } starter;
    starter.socket = Socket();
    ShellLauncher* previous = SetShellLauncher(&starter);
    conv->ServiceApplication = "\"/opt/a sheet/sheet\" -e \"%1\"";
    starter.works = false;
    EXPECT_FALSE(conv->OpenLink());
    starter.works = true;
    EXPECT_TRUE(conv->OpenLink());
    SetShellLauncher(previous);
    EXPECT_EQ(starter.started, std::vector<std::string>(2, "/opt/a sheet/sheet|-e \"%1\""));
    EXPECT_EQ(opened, 1);
    conv->CloseLink();
    EXPECT_TRUE(starter.server->WaitForHangUps(1));
    EXPECT_EQ(starter.server->Connections(), 1);
}

TEST_F(Dde, HandleMessageWaitsForTheNextMessage) {
    QApplication::processEvents();
    bool fired = false;
    QTimer::singleShot(30, [&] { fired = true; });
    int rounds = 0;
    while (!fired && rounds < 1000) {
        Application->HandleMessage();
        ++rounds;
    }
    EXPECT_TRUE(fired);
    EXPECT_LT(rounds, 10);  // it slept rather than spun
}

TEST(Registry, ReadsOnlyWhatTheStoreHolds) {
    FakeRegistry store;
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(reg.OpenKey(".xls", true));  // nothing, and nothing is created
    store.PutString(HKEY_CLASSES_ROOT, "Sheet.8\\shell\\Open\\Command", "", "\"x\" /e");
    ASSERT_TRUE(reg.OpenKey("\\sheet.8\\SHELL", false));  // a key above a value, in any letter case
    ASSERT_TRUE(reg.OpenKey("open\\command", false));      // from the open key
    EXPECT_EQ(reg.ReadString(""), "\"x\" /e");
    EXPECT_EQ(reg.ReadString("Other"), "");
    EXPECT_FALSE(reg.OpenKey("\\Sheet", false));  // no partial names
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey("Sheet.8", false));
}
