// Updates started from the main window, downloaded from a server on
// 127.0.0.1 or read from a saved page, up to the page reaching the decoder.
#include "currency/currsource.h"
#include "mainwin/appfixture.h"
#include "platform/sysutils.h"
#include "support/hostileserver.h"
#include "support/httpserver.h"
#include "support/layoutcheck.h"
#include "update/fetchfile.h"
#include "update/fetchinternet.h"
#include "update/updatefixture.h"
#include "update/updatewin.h"
#include "update/userauthwin.h"

#include <QByteArray>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <mutex>

namespace {
class Updating : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        Start();
        settings = MainForm->AppSettings;
    }
    CurrSource* Source() { return MainForm->CurrentSource; }
    void PageAt(const std::string& host, const std::string& path = "/today.html") {
        SourceAddress::Set(MainForm->CurrentSource, host, path);
    }
    // Ctrl+U, then the GUI thread serves the fetcher until the update ended.
    void Update() {
        QApplication::setActiveWindow(MainForm->Handle());  // back from any dialog
        Key(Qt::Key_U, Qt::ControlModifier);
        EXPECT_TRUE(WaitUntil([] { return !MainForm->UpdateButton->Down(); }));
    }
    std::string Page() {
        if (auto* f = dynamic_cast<FetchInternet*>(MainForm->ActiveFetcher)) return f->Document;
        if (auto* f = dynamic_cast<FetchFile*>(MainForm->ActiveFetcher)) return f->Document;
        return "(no fetcher)";
    }
    std::vector<TUpdateForm*> ProgressWindows() {
        QApplication::processEvents();
        std::vector<TUpdateForm*> found;
        for (TForm* f : MainForm->MDIChildren())
            if (auto* w = dynamic_cast<TUpdateForm*>(f)) found.push_back(w);
        return found;
    }
    std::string FailureShown() {
        std::vector<TUpdateForm*> windows = ProgressWindows();
        if (windows.size() != 1) return "(" + std::to_string(windows.size()) + " windows)";
        std::string status = windows[0]->Label3->Caption() + ": " + windows[0]->StatusLabel->Caption();
        windows[0]->Close();
        return status;
    }
    static void Type(TEdit* edit, const std::string& text) {
        static_cast<QLineEdit*>(edit->Handle())->clear();
        QTest::keyClicks(edit->Handle(), QString::fromStdString(text));
    }
    static std::string Basic(const std::string& userAndPassword) {
        return "Basic " + QByteArray::fromStdString(userAndPassword).toBase64().toStdString();
    }

    Settings* settings = nullptr;
};

// Answers the requests in turn with the responses given; the last repeats.
TestHttpServer::Handler Answers(std::vector<HttpResponse> responses) {
    auto next = std::make_shared<std::atomic<size_t>>(0);
    return [responses, next](const HttpRequest&) { return responses[std::min(next->fetch_add(1), responses.size() - 1)]; };
}

// Runs some code inside the first typed box that is shown; every box is
// still answered and recorded by the fixture's responder.
class InsideABox : public DialogBackend {
public:
    InsideABox(ScriptedResponder& inner, std::function<void()> inside)
        : inner_(inner), inside_(std::move(inside)), previous_(SetDialogBackend(this)) {}
    ~InsideABox() override { SetDialogBackend(previous_); }
    void ShowMessage(const std::string& text) override { inner_.ShowMessage(text); }
    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
        if (auto inside = std::exchange(inside_, nullptr)) inside();
        return inner_.MessageDlg(text, type, buttons);
    }

private:
    ScriptedResponder& inner_;
    std::function<void()> inside_;
    DialogBackend* previous_;
};
}  // namespace

TEST_F(Updating, TheRequestGoesDirectOrThroughTheProxy) {
    TestHttpServer server;
    PageAt(server.HostPort(), "/rates/today.html?day=20");
    Update();
    ASSERT_EQ(server.Requests().size(), 1u);
    const HttpRequest direct = server.Requests()[0];
    EXPECT_EQ(direct.RequestLine(), "GET /rates/today.html?day=20 HTTP/1.1");
    EXPECT_EQ(direct.Header("User-Agent"), "Tallyvane/2.1");
    EXPECT_EQ(direct.Header("Host"), server.HostPort());
    EXPECT_FALSE(direct.HasHeader("Authorization"));
    EXPECT_FALSE(direct.HasHeader("Accept"));  // no list of accepted types
    EXPECT_EQ(Page(), "OK");

    TestHttpServer proxy([](const HttpRequest&) { return HttpResponse::Ok("from the proxy"); });
    settings->useProxy = true;
    settings->Proxy = "127.0.0.1";
    settings->Port = proxy.Port();
    Update();
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_EQ(proxy.Requests()[0].target, "http://" + server.HostPort() + "/rates/today.html?day=20");
    EXPECT_FALSE(proxy.Requests()[0].HasHeader("Accept"));
    EXPECT_EQ(Page(), "from the proxy");
}

TEST_F(Updating, CredentialsGoOnlyWithUserAuthenticationAndComeFromTheForm) {
    TestHttpServer server;
    PageAt(server.HostPort());
    settings->UserName = "kept";
    Update();
    // Asked before the first download that sends them, and not again.
    settings->useAuth = true;
    dialogs.QueueModal([&](TForm* form) {
        ASSERT_EQ(form, UserAuthFrm);
        EXPECT_EQ(UserAuthFrm->ActiveControl(), UserAuthFrm->Username);
        Type(UserAuthFrm->Username, "tally");
        Type(UserAuthFrm->Password, "p:w d");
        EXPECT_EQ(static_cast<QLineEdit*>(UserAuthFrm->Password->Handle())->displayText().toStdString(), "*****");
        QTest::keyClick(UserAuthFrm->Password->Handle(), Qt::Key_Return);  // OK is the default button
    });
    Update();
    Update();
    // A refused page forgets them: asked again, and empty boxes send empty texts.
    dialogs.QueueAnswer(mrYes);  // the decoder's defaults: "OK" is no rate page
    Update();
    EXPECT_EQ(settings->UserName, "");
    dialogs.QueueModal([&](TForm*) {
        EXPECT_EQ(UserAuthFrm->Username->Text(), "");  // the refused texts are gone from the form too
        EXPECT_EQ(UserAuthFrm->Password->Text(), "");
        QTest::mouseClick(UserAuthFrm->Button1->Handle(), Qt::LeftButton);
    });
    Update();
    EXPECT_EQ(dialogs.ModalForms(), std::vector<std::string>(2, "User Authentication"));
    std::vector<std::string> sent;
    for (const HttpRequest& r : server.Requests()) sent.push_back(r.Header("Authorization"));
    EXPECT_EQ(sent, (std::vector<std::string>{"", Basic("tally:p:w d"), Basic("tally:p:w d"), Basic("tally:p:w d"),
                                              Basic(":")}));
    MainForm->Close();
    EXPECT_EQ(ReadAll(folder.File("tallyvane2.ini")).find("tally"), std::string::npos);
}

TEST_F(Updating, PagesArriveWholeAndAnEmptyOneIsNotDecoded) {
    std::string big;
    for (int i = 0; big.size() < 1000000; ++i) big += "row " + std::to_string(i) + " <td>0.1234</td>\r\n";
    HttpResponse chunked = HttpResponse::Ok("7\r\n<html>\n\r\n16\r\n<title>chunked</title>\r\n0\r\n\r\n");
    chunked.headers.push_back({"Transfer-Encoding", "chunked"});
    const std::string withNul = std::string("<p>before\0", 10) + std::string(600, 'x');
    TestHttpServer server(Answers({HttpResponse::Ok(big), chunked, HttpResponse::Ok("Fran\xE7" "ais"),
                                   HttpResponse::Ok(withNul), HttpResponse::Ok("")}));
    PageAt(server.HostPort());
    Update();
    EXPECT_EQ(Page(), big);
    Update();
    EXPECT_EQ(Page(), "<html>\n<title>chunked</title>");
    Update();
    EXPECT_EQ(Page(), "Fran\xC3\xA7" "ais");  // no UTF-8: Windows-1252
    Update();
    EXPECT_EQ(Page(), "<p>before");  // a zero byte ends the page, not just its piece
    EXPECT_EQ(dialogs.Texts().size(), 4u);  // each page asked the decoder's question once
    Update();
    EXPECT_EQ(Page(), "");
    EXPECT_EQ(dialogs.Texts().size(), 4u);  // nothing decoded
    EXPECT_TRUE(ProgressWindows().empty());
}

TEST_F(Updating, AFailedDownloadLeavesItsMessageAndReleasesTheButton) {
    PageAt("127.0.0.1:" + std::to_string(ClosedPort()));
    Update();
    std::vector<TUpdateForm*> windows = ProgressWindows();
    ASSERT_EQ(windows.size(), 1u);
    TUpdateForm* w = windows[0];
    EXPECT_EQ(w->Caption(), "Rates Update");
    EXPECT_EQ(w->Left() + w->Top(), 0);
    EXPECT_TRUE(w->Label1->Enabled());
    EXPECT_FALSE(w->Label2->Enabled());
    EXPECT_FALSE(w->Label4->Visible());
    EXPECT_TRUE(w->BorderIcons() & biSystemMenu);  // now it can be closed
    EXPECT_EQ(LayoutProblems(w), std::vector<std::string>{});
    SaveScreenshot(MainForm, "update-failed");
    EXPECT_EQ(FailureShown(), "Error: Error in sending request.");
    EXPECT_TRUE(ProgressWindows().empty());  // closing freed it

    // Each step names its failure; an address with control characters fails
    // at the step that takes it.
    PageAt("");
    Update();
    EXPECT_EQ(FailureShown(), "Error: Internet connection failed!");
    PageAt("127.0.0.1\r\nX-Injected: 1");
    Update();
    EXPECT_EQ(FailureShown(), "Error: Internet connection failed!");
    PageAt("127.0.0.1:1", "/today.html\r\nX-Injected: 1");
    Update();
    EXPECT_EQ(FailureShown(), "Error: HTTP request failed!");
    TestHttpServer server(Answers({HttpResponse::Ok(std::string((16u << 20) + 1, 'x'))}));
    PageAt(server.HostPort());
    Update();
    EXPECT_EQ(FailureShown(), "Error: HTTP request failed!");
    EXPECT_EQ(Page(), "");
    EXPECT_TRUE(dialogs.Texts().empty());
    EXPECT_FALSE(MainForm->UpdateButton->Down());
}

TEST_F(Updating, ASecondUpdateCutsOffAStalledDownloadAtOnce) {
    // Odd requests get part of a page, then silence; even ones the page.
    std::atomic<int> stalls{0};
    HostileServer server([&](int client, HostileServer& s) {
        const bool stall = s.Connections() % 2 == 1;
        s.ReadRequest(client);
        if (!stall) {
            s.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\npage 2");
            return;
        }
        s.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<html><title>Rates as of");
        ++stalls;
        s.Wait(120000);
    });
    PageAt(server.HostPort());
    Key(Qt::Key_U, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return stalls == 1; }));

    const auto start = std::chrono::steady_clock::now();
    Update();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ time     ] Update during a stalled download: " << seconds << " s\n";
    EXPECT_LT(seconds, 10.0);  // the limit for no progress alone is 60 s
    EXPECT_EQ(server.Connections(), 2);
    EXPECT_EQ(Page(), "page 2");
    EXPECT_EQ(dialogs.Texts().size(), 1u);  // the cut download reported nothing; the page reached its decoder
    EXPECT_TRUE(ProgressWindows().empty());  // the first update's window went with it

    // Superseded by an update of another source, whose decoder is another one.
    Key(Qt::Key_U, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return stalls == 2; }));
    MainForm->CurrentSource = MainForm->Sources[1];
    PageAt(server.HostPort());
    Update();
    EXPECT_TRUE(ProgressWindows().empty());
}

TEST_F(Updating, APageCutShortIsHandedOverForItsDecoderToJudge) {
    // The connection is reset in the middle of the table, then closes with
    // the whole page sent but less than its Content-Length.
    WriteAll(DataFile("Pacific.INI"), ShippedFile("Pacific.INI"));
    const std::string page = SamplePage("pacific_rates.html");
    const std::string half = page.substr(0, page.find("<tr><td>GBP"));
    std::vector<std::string> heads;
    std::mutex headsMutex;
    HostileServer server([&](int client, HostileServer& s) {
        const bool first = s.Connections() == 1;
        std::string head;
        s.ReadRequest(client, &head);
        {
            std::lock_guard<std::mutex> lock(headsMutex);
            heads.push_back(LowerCase(head));
        }
        const std::string body = first ? half : page;
        s.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size() + 500) + "\r\n\r\n" + body);
        s.Wait(200);  // read before a reset could throw it away
        if (first) HostileServer::Reset(client);
    });
    PageAt(server.HostPort());
    Update();
    EXPECT_EQ(Page(), half);
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Can't correctly find body...", "Can't find table-row!"}));
    EXPECT_TRUE(ProgressWindows().empty());  // read and decoded, as far as the decoder went
    EXPECT_EQ(Source()->FindCurrency("Icelandic Krona"), nullptr);

    Update();
    EXPECT_EQ(Page(), page);
    EXPECT_EQ(dialogs.Texts().size(), 2u);
    ASSERT_NE(Source()->FindCurrency("Icelandic Krona"), nullptr);
    EXPECT_EQ(std::string(Source()->FindCurrency("Icelandic Krona")->GetDate()), "January 20, 2025");
    ASSERT_EQ(heads.size(), 2u);
    for (const std::string& head : heads) EXPECT_EQ(head.find("\r\naccept:"), std::string::npos) << head;
}

TEST_F(Updating, ExitDuringAStalledDownloadEndsAtOnceAndWritesEveryFile) {
    // Part of a page, then silence for longer than any limit of the download.
    std::atomic<bool> stalled{false};
    HostileServer server([&](int client, HostileServer& s) {
        s.ReadRequest(client);
        s.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n<html><title>Rates as of");
        stalled = true;
        s.Wait(120000);
    });
    PageAt(server.HostPort());
    // Changes that reach the rate file, the layout file and the settings
    // only when the program writes them at its end.
    Source()->SetPreferredBase("Euro");
    settings->csvSep = ";";
    Key(Qt::Key_W, Qt::ControlModifier);
    Key(Qt::Key_U, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return stalled.load(); }));
    QTest::qWait(300);
    ASSERT_TRUE(MainForm->UpdateButton->Down());  // still downloading

    const auto start = std::chrono::steady_clock::now();
    MainForm->FileExit1->Execute();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ time     ] Exit during a stalled download: " << seconds << " s\n";
    EXPECT_LT(seconds, 10.0);  // the limit for no progress alone is 60 s
    EXPECT_TRUE(app->Terminated());
    EXPECT_NE(ReadAll(DataFile("Pacific.XML")).find("<PREFERREDBASE>Euro</PREFERREDBASE>"), std::string::npos);
    EXPECT_NE(ReadAll(DataFile("windowSettings.xml")).find("<TYPE>World</TYPE>"), std::string::npos);
    EXPECT_NE(ReadAll(folder.File("tallyvane2.ini")).find("csvSep=;"), std::string::npos);
    EXPECT_TRUE(dialogs.Texts().empty());  // the cut download reports nothing on the way out
    EXPECT_EQ(server.Connections(), 1);
}

TEST_F(Updating, NoUpdateOrShutdownStartsInsideTheHandOver) {
    TestHttpServer server;
    PageAt(server.HostPort());
    Fetcher* during = nullptr;
    int presses = 0;
    TNotifyEvent update = MainForm->DialogUpdate->OnExecute;
    MainForm->DialogUpdate->OnExecute = [&](TObject* sender) {
        ++presses;
        update(sender);
    };
    InsideABox inside(dialogs, [&] {
        Key(Qt::Key_U, Qt::ControlModifier);
        MainForm->Close();
        during = MainForm->ActiveFetcher;
    });
    Update();  // the decoder's question runs the code above
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(during, MainForm->ActiveFetcher);
    EXPECT_NE(MainForm->CurrentSource, nullptr);
    EXPECT_EQ(server.Requests().size(), 1u);
    Update();  // after the hand-over both work again
    EXPECT_EQ(server.Requests().size(), 2u);
    MainForm->Close();
    EXPECT_EQ(MainForm->CurrentSource, nullptr);
}

TEST_F(Updating, ASavedPageIsReadWithCrLfLineEnds) {
    const std::string saved = folder.File("saved");
    std::filesystem::create_directory(saved);
    WriteAll(saved + "/lf.html", "<html>\n<title>x</title>\n\nend\n");
    WriteAll(saved + "/cr.htm", "<html>\r<title>x</title>\rcaf\xE9");
    const char withNul[] = "<html>\r\nbefore\0after\r\n";
    WriteAll(saved + "/nul.html", std::string(withNul, sizeof withNul - 1));
    for (const char* name : {"lf.html", "cr.htm", "nul.html"}) dialogs.QueueFile(saved + "/" + name);

    MainForm->OpenFile1->Click();  // the Update button's "&File": file mode, and an update at once
    EXPECT_TRUE(WaitUntil([] { return !MainForm->UpdateButton->Down(); }));
    EXPECT_EQ(Page(), "<html>\r\n<title>x</title>\r\n\r\nend\r\n");
    EXPECT_EQ(dialogs.FileDialogs()[0].filter, "HTML-files|*.htm;*.html");
    EXPECT_EQ(dialogs.FileDialogs()[0].initialDir, "");
    EXPECT_EQ(settings->HTMLPath, saved);
    Update();  // still from a file, opened where the last one was
    EXPECT_EQ(dialogs.FileDialogs()[1].initialDir, saved);
    EXPECT_EQ(Page(), "<html>\r\n<title>x</title>\r\ncaf\xC3\xA9\r\n");  // Windows-1252 read as such
    Update();
    EXPECT_EQ(Page(), "<html>\r\nbefore\r\n");
    EXPECT_EQ(dialogs.Texts().size(), 3u);  // each page reached the decoder

    // Cancelled: an empty page, nothing said. A missing file at the root (its
    // folder keeps the slash) and a file larger than any page are not read.
    dialogs.QueueFile("");
    Update();
    EXPECT_EQ(Page(), "");
    EXPECT_EQ(settings->HTMLPath, saved);
    dialogs.QueueFile("/tallyvane-no-such-page.html");
    Update();
    EXPECT_EQ(settings->HTMLPath, "/");
    const std::string huge = folder.File("huge.html");
    WriteAll(huge, std::string((16u << 20) + 1, 'x'));
    dialogs.QueueFile(huge);
    Update();
    EXPECT_EQ(Page(), "");
    const std::vector<std::string> texts = dialogs.Texts();
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 3, texts.end()),
              (std::vector<std::string>{"Can't read file: /tallyvane-no-such-page.html", "Can't read file: " + huge}));
    EXPECT_EQ(dialogs.Boxes()[3].type, mtError);
    EXPECT_TRUE(ProgressWindows().empty());
}
