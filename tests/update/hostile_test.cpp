// Downloads from servers on 127.0.0.1 that misbehave: each update must end with
// its failure message in the progress window, the Update button released and
// the program answering its user meanwhile. The time limits of the download
// are shortened for these tests (tests/platform checks their real values).
#include "currency/currsource.h"
#include "mainwin/appfixture.h"
#include "platform/wininet.h"
#include "support/hostileserver.h"
#include "support/httpserver.h"
#include "update/fetchinternet.h"
#include "update/updatefixture.h"
#include "update/updatewin.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>

namespace {
struct Outcome {
    std::string shown;  // the reading step's mark and the status line
    bool buttonReleased = false;
    bool answeredMeanwhile = false;  // a key pressed during the download worked
    double seconds = 0;
};

class HostileServers : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        SetInternetTimeLimits({1, 1, 3});
        Ini("[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n");
        Start();
    }
    void TearDown() override {
        MainWindow::TearDown();
        SetInternetTimeLimits({});
    }
    // Ctrl+U against the server; a quarter of a second in, while the worker
    // still downloads, the user opens a World window with Ctrl+W.
    Outcome Update(const std::string& hostPort, const char* name) {
        SourceAddress::Set(MainForm->CurrentSource, hostPort);
        Outcome out;
        const size_t windows = MainForm->OpenWindows.size();
        QTimer user;  // goes with this call, so it never fires after the update
        user.setSingleShot(true);
        QObject::connect(&user, &QTimer::timeout, [&] {
            Key(Qt::Key_W, Qt::ControlModifier);
            out.answeredMeanwhile = MainForm->OpenWindows.size() == windows + 1;
        });
        user.start(250);
        const auto start = std::chrono::steady_clock::now();
        Key(Qt::Key_U, Qt::ControlModifier);
        out.buttonReleased = WaitUntil([] { return !MainForm->UpdateButton->Down(); });
        out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << "[ time     ] " << name << ": " << out.seconds << " s\n";

        std::vector<TUpdateForm*> progress;
        for (TForm* f : MainForm->MDIChildren())
            if (auto* w = dynamic_cast<TUpdateForm*>(f)) progress.push_back(w);
        if (progress.size() == 1) {
            out.shown = progress[0]->Label3->Caption() + ": " + progress[0]->StatusLabel->Caption();
            // With its close box, as after every failure, the user closes it.
            if (progress[0]->BorderIcons() & biSystemMenu) {
                progress[0]->Close();
                QApplication::processEvents();
            }
        } else {
            out.shown = std::string("(") + std::to_string(progress.size()) + " progress windows)";
        }
        // Nothing reached the decoder, which would have asked about its settings.
        EXPECT_TRUE(dialogs.Texts().empty()) << dialogs.Texts()[0];
        return out;
    }
    std::string Page() { return static_cast<FetchInternet*>(MainForm->ActiveFetcher)->Document; }

    static constexpr const char* SendFailed = "Error: Error in sending request.";
};
}  // namespace

TEST_F(HostileServers, AServerThatAcceptsAndNeverAnswers) {
    HostileServer server([](int client, HostileServer& s) {
        s.ReadRequest(client);
        s.Wait(60000);
    });
    Outcome o = Update(server.HostPort(), "never answers");
    EXPECT_EQ(o.shown, SendFailed);
    EXPECT_TRUE(o.buttonReleased);
    EXPECT_TRUE(o.answeredMeanwhile);
}

TEST_F(HostileServers, AServerWhoseQueueIsFullNeverLetsTheConnectionIn) {
    HostileServer server(nullptr, false);
    server.FillQueue();
    Outcome o = Update(server.HostPort(), "never accepts");
    EXPECT_EQ(o.shown, SendFailed);
    EXPECT_TRUE(o.buttonReleased);
    EXPECT_TRUE(o.answeredMeanwhile);
}

TEST_F(HostileServers, AServerThatTricklesAByteASecond) {
    // Silent between the bytes for less than the limit for no progress.
    SetInternetTimeLimits({1, 3, 10});
    HostileServer server([](int client, HostileServer& s) {
        s.ReadRequest(client);
        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(100000, 'x');
        for (char c : answer)
            if (!s.Send(client, std::string(1, c)) || !s.Wait(1000)) return;
    });
    Outcome o = Update(server.HostPort(), "trickles");
    EXPECT_EQ(o.shown, SendFailed);
    EXPECT_TRUE(o.buttonReleased);
    EXPECT_TRUE(o.answeredMeanwhile);
}

TEST_F(HostileServers, AServerThatTricklesFasterThanTheLimitForNoProgress) {
    // Ten bytes a second count as progress: only the limit on the whole
    // download ends it.
    SetInternetTimeLimits({1, 1, 3});
    HostileServer server([](int client, HostileServer& s) {
        s.ReadRequest(client);
        if (!s.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")) return;
        for (int i = 0; i < 100000; ++i)
            if (!s.Send(client, "x") || !s.Wait(100)) return;
    });
    Outcome o = Update(server.HostPort(), "trickles ten bytes a second");
    EXPECT_EQ(o.shown, SendFailed);
    EXPECT_TRUE(o.buttonReleased);
    EXPECT_TRUE(o.answeredMeanwhile);
}

TEST_F(HostileServers, AServerThatSendsGarbageInsteadOfHttp) {
    HostileServer server([](int client, HostileServer& s) {
        s.ReadRequest(client);
        std::string garbage = "\x16\x03\x01 ICY 200 OK\r\n\r\n<title>Rates as of";
        for (int i = 0; i < 2000; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
        s.Send(client, garbage);
    });
    Outcome o = Update(server.HostPort(), "garbage");
    EXPECT_EQ(o.shown, SendFailed);
    EXPECT_TRUE(o.buttonReleased);
    EXPECT_EQ(Page(), "");
}

TEST_F(HostileServers, AServerThatResetsTheConnectionBeforeAnswering) {
    // A reset in the middle of a page hands over what came (tests/update/fetch_test).
    HostileServer before([](int client, HostileServer& s) {
        s.ReadRequest(client);
        HostileServer::Reset(client);
    });
    Outcome o = Update(before.HostPort(), "reset before answering");
    EXPECT_EQ(o.shown, SendFailed);
    EXPECT_TRUE(o.buttonReleased);
}

TEST_F(HostileServers, ARedirectLoop) {
    TestHttpServer server([](const HttpRequest& r) { return HttpResponse::Redirect(r.target); });
    Outcome o = Update(server.HostPort(), "redirect loop");
    EXPECT_EQ(o.shown, SendFailed);
    EXPECT_TRUE(o.buttonReleased);
    EXPECT_LE(server.Requests().size(), 11u);
}

TEST_F(HostileServers, AHundredMegabyteBody) {
    // Only the size ends it, however slowly a loaded machine takes it in.
    SetInternetTimeLimits({30, 30, 300});
    std::atomic<size_t> sent{0};
    HostileServer server([&](int client, HostileServer& s) {
        s.ReadRequest(client);
        if (!s.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 104857600\r\n\r\n")) return;
        const std::string block(1 << 16, 'x');
        while (sent < (100u << 20) && s.Send(client, block)) sent += block.size();
    });
    Outcome o = Update(server.HostPort(), "100 MB body");
    EXPECT_EQ(o.shown, "Error: HTTP request failed!");
    EXPECT_TRUE(o.buttonReleased);
    EXPECT_EQ(Page(), "");
    EXPECT_LT(sent, 100u << 20);  // the download stopped before the end
}
