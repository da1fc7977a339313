// The time limits of a download: their real values, and each one ending a
// request to a server on 127.0.0.1 that would otherwise hold it for ever.
#include "platform/wininet.h"
#include "support/hostileserver.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {
class TimeLimits : public ::testing::Test {
protected:
    void TearDown() override { SetInternetTimeLimits({}); }
    // Sends a GET and returns whether an answer came, and after how long.
    static bool Send(int port, double& seconds) {
        const auto start = std::chrono::steady_clock::now();
        HINTERNET session = InternetOpenA("agent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        HINTERNET connect = InternetConnectA(session, "127.0.0.1", static_cast<unsigned short>(port), nullptr,
                                             nullptr, INTERNET_SERVICE_HTTP, 0, 0);
        HINTERNET request = HttpOpenRequestA(connect, "GET", "/", nullptr, nullptr, nullptr, 0, 0);
        const bool answered = HttpSendRequestA(request, nullptr, 0, nullptr, 0) != FALSE;
        InternetCloseHandle(request);
        InternetCloseHandle(connect);
        InternetCloseHandle(session);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return answered;
    }
};
}  // namespace

TEST_F(TimeLimits, AreThirtySecondsToConnectSixtyWithoutProgressAndFiveMinutesInAll) {
    EXPECT_EQ(GetInternetTimeLimits(), (InternetTimeLimits{30, 60, 300}));
    SetInternetTimeLimits({1, 2, 3});
    EXPECT_EQ(GetInternetTimeLimits(), (InternetTimeLimits{1, 2, 3}));
    SetInternetTimeLimits({});
    EXPECT_EQ(GetInternetTimeLimits(), (InternetTimeLimits{30, 60, 300}));
}

TEST_F(TimeLimits, EachEndsARequestThatWouldNeverEnd) {
    double seconds = 0;
    // No connection: the listen queue is full.
    SetInternetTimeLimits({1, 30, 30});
    HostileServer full(nullptr, false);
    full.FillQueue();
    EXPECT_FALSE(Send(full.Port(), seconds));
    EXPECT_LT(seconds, 20);

    // Connected, and nothing comes.
    SetInternetTimeLimits({30, 1, 30});
    HostileServer silent([](int client, HostileServer& s) {
        s.ReadRequest(client);
        s.Wait(60000);
    });
    EXPECT_FALSE(Send(silent.Port(), seconds));
    EXPECT_LT(seconds, 20);

    // A body that keeps coming, ten bytes a second.
    SetInternetTimeLimits({30, 30, 1});
    HostileServer trickle([](int client, HostileServer& s) {
        s.ReadRequest(client);
        if (!s.Send(client, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n")) return;
        for (int i = 0; i < 100000; ++i)
            if (!s.Send(client, "x") || !s.Wait(100)) return;
    });
    EXPECT_FALSE(Send(trickle.Port(), seconds));
    EXPECT_LT(seconds, 20);
}
