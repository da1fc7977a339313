// The desktop tests' entry: one virtual display with a window manager for the
// whole binary, started before the toolkit and stopped after it.
#include "desktop/xdesktop.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#ifndef TV_DESKTOP_TRAY
#define TV_DESKTOP_TRAY 0
#endif
#ifndef TV_DESKTOP_WM
#define TV_DESKTOP_WM 1
#endif

namespace {
// A test that hangs in a nested loop is ended with its name, not by CTest's
// time limit for the whole binary.
class Watchdog : public ::testing::EmptyTestEventListener {
public:
    Watchdog() {
        std::thread([this] {
            std::unique_lock<std::mutex> lock(mutex_);
            for (;;) {
                if (armed_ && std::chrono::steady_clock::now() > until_) {
                    std::fprintf(stderr, "\n%s hung for over %d s; ending the run.\n", name_.c_str(), Limit);
                    std::fflush(stderr);
                    std::_Exit(3);
                }
                wake_.wait_for(lock, std::chrono::milliseconds(500));
            }
        }).detach();
    }
    void OnTestStart(const ::testing::TestInfo& info) override {
        std::lock_guard<std::mutex> lock(mutex_);
        name_ = std::string(info.test_suite_name()) + "." + info.name();
        until_ = std::chrono::steady_clock::now() + std::chrono::seconds(Limit);
        armed_ = true;
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
    }

private:
    static constexpr int Limit = 120;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string name_;
    std::chrono::steady_clock::time_point until_;
    bool armed_ = false;
};
}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
    if (!XDesktop::Start(TV_DESKTOP_TRAY, TV_DESKTOP_WM)) {
        std::fprintf(stderr, "The virtual desktop (Xvfb, openbox%s) did not start.\n", TV_DESKTOP_TRAY ? ", trayer" : "");
        XDesktop::Stop();
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    delete qApp;  // the toolkit leaves before its display does
    XDesktop::Stop();
    return result;
}
