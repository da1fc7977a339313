// The desktop tests' entry: one virtual display with a window manager for the
// whole binary, started before the toolkit and stopped after it.
#include "desktop/xdesktop.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
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
    Watchdog() : state_(std::make_shared<State>()) {
        // The thread shares the state, which outlives the listener that the
        // test framework deletes at the very end.
        std::thread([state = state_] {
            std::unique_lock<std::mutex> lock(state->mutex);
            for (;;) {
                if (state->armed && std::chrono::steady_clock::now() > state->until) {
                    std::fprintf(stderr, "\n%s hung for over %d s; ending the run.\n", state->name.c_str(), Limit);
                    std::fflush(stderr);
                    XDesktop::Kill();
                    std::_Exit(3);
                }
                state->wake.wait_for(lock, std::chrono::milliseconds(500));
            }
        }).detach();
    }
    void OnTestStart(const ::testing::TestInfo& info) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->name = std::string(info.test_suite_name()) + "." + info.name();
        state_->until = std::chrono::steady_clock::now() + std::chrono::seconds(Limit);
        state_->armed = true;
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->armed = false;
    }

private:
    static constexpr int Limit = 120;
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::string name;
        std::chrono::steady_clock::time_point until;
        bool armed = false;
    };
    std::shared_ptr<State> state_;
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
