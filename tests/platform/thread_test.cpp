#include "platform/sysutils.h"
#include "platform/thread.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

namespace {
// A thread running the body it was given. It waits for itself before its
// members go, as every subclass that uses them in Execute must.
class Worker : public TThread {
public:
    Worker(bool suspended, std::function<void(Worker&)> body) : TThread(suspended), body_(std::move(body)) {}
    ~Worker() override { WaitFor(); }

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(Worker&)> body_;
};

bool OnGui() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

class Threads : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_platform";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override {
        SetSyncExceptionHandler(nullptr);
        app_.reset();
    }
    // Runs the event loop until quit is called, or fails after 10 seconds.
    void RunLoop(QEventLoop& loop) {
        bool timedOut = false;
        QTimer::singleShot(10000, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        loop.exec();
        EXPECT_FALSE(timedOut);
    }

    ScriptedResponder dialogs;

private:
    std::unique_ptr<QCoreApplication> app_;
};

// Synchronises `count` calls that note their number and whether they ran on
// the GUI thread; the last one runs `last` too.
std::function<void(Worker&)> Synchronising(int count, std::vector<int>& ran, bool& allOnGui,
                                           std::function<void()> last = nullptr) {
    return [=, &ran, &allOnGui](Worker& w) {
        for (int i = 0; i < count; ++i)
            w.Synchronize([&, i] {
                ran.push_back(i);
                allOnGui = allOnGui && OnGui();
                if (i == count - 1 && last) last();
            });
    };
}

std::vector<int> Upto(int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(i);
    return v;
}
}  // namespace

TEST_F(Threads, WaitForServesSynchronisedCallsButNoOtherEvents) {
    std::vector<int> ran;
    bool allOnGui = true;
    bool otherEventRan = false;
    bool otherSeenDuringCalls = false;
    QTimer::singleShot(0, QCoreApplication::instance(), [&] { otherEventRan = true; });
    Worker worker(true, Synchronising(20, ran, allOnGui, [&] { otherSeenDuringCalls = otherEventRan; }));
    EXPECT_TRUE(worker.Suspended());
    worker.Resume();
    worker.WaitFor();
    EXPECT_EQ(ran, Upto(20));
    EXPECT_TRUE(allOnGui);
    EXPECT_FALSE(otherSeenDuringCalls);
    EXPECT_TRUE(worker.Finished());

    // Each call was posted to the event loop as well: there it must not run again.
    QCoreApplication::processEvents();
    EXPECT_TRUE(otherEventRan);
    EXPECT_EQ(ran.size(), 20u);
}

TEST_F(Threads, TheEventLoopServesSynchronisedCallsAndStartsARunningThread) {
    std::vector<int> ran;
    bool allOnGui = true;
    QEventLoop loop;
    Worker worker(false, Synchronising(20, ran, allOnGui, [&] { loop.quit(); }));
    RunLoop(loop);
    EXPECT_EQ(ran, Upto(20));
    EXPECT_TRUE(allOnGui);
    worker.WaitFor();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.size(), 20u);

    // Called on the GUI thread, Synchronize runs the call at once.
    bool direct = false;
    worker.Synchronize([&] { direct = true; });
    EXPECT_TRUE(direct);
}

namespace {
// Its Execute reads what its constructor body sets.
class LateStarter : public TThread {
public:
    LateStarter() : TThread(false) {
        std::this_thread::sleep_for(50ms);
        ready_ = 42;
    }
    ~LateStarter() override { WaitFor(); }
    int seen = -1;

protected:
    void Execute() override { seen = ready_; }

private:
    int ready_ = 0;
};
}  // namespace

TEST_F(Threads, StartsOnlyOnceBuiltAndEndsCleanlyWhenExecuteThrows) {
    LateStarter late;
    EXPECT_FALSE(late.Suspended());
    late.WaitFor();
    EXPECT_EQ(late.seen, 42);

    Worker never(true, [](Worker&) { FAIL() << "a suspended thread ran"; });
    never.WaitFor();  // nothing to wait for
    EXPECT_FALSE(never.Finished());

    Worker failing(true, [](Worker&) { throw EConvertError("'x' is not a valid integer value"); });
    failing.Resume();
    failing.WaitFor();
    EXPECT_TRUE(failing.Finished());
    ASSERT_TRUE(failing.FatalException());
    EXPECT_THROW(std::rethrow_exception(failing.FatalException()), EConvertError);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

namespace {
std::vector<std::string> handled;
void Collect(const std::string& message) { handled.push_back(message); }
}  // namespace

TEST_F(Threads, AnExceptionInASynchronisedCallIsReportedAndNeverReachesTheWorker) {
    bool reachedWorker = false;
    bool ranAfter = false;
    auto body = [&](Worker& w) {
        try {
            w.Synchronize([] { throw Exception("Rates are out of date"); });
            w.Synchronize([] { throw 42; });
            w.Synchronize([&] { ranAfter = true; });
        } catch (...) {
            reachedWorker = true;
        }
    };
    Worker first(true, body);
    first.Resume();
    first.WaitFor();
    EXPECT_FALSE(reachedWorker);
    EXPECT_TRUE(ranAfter);
    EXPECT_EQ(dialogs.Texts(), (std::vector<std::string>{"Rates are out of date", "Unknown exception"}));

    // The application's own handler, with the call served by the event loop.
    handled.clear();
    dialogs.Clear();
    SetSyncExceptionHandler(Collect);
    QEventLoop loop;
    Worker second(false, [&](Worker& w) {
        w.Synchronize([] { throw std::runtime_error("page not found"); });
        w.Synchronize([&] { loop.quit(); });
    });
    RunLoop(loop);
    second.WaitFor();
    EXPECT_EQ(handled, std::vector<std::string>{"page not found"});
    EXPECT_TRUE(dialogs.Boxes().empty());
}

namespace {
// Uses only what outlives it, so the base destructor alone may wait for it.
class Looper : public TThread {
public:
    Looper(std::atomic<bool>& started, std::atomic<bool>& ended, bool& synchronised)
        : TThread(true), started_(&started), ended_(&ended), synchronised_(&synchronised) {}

protected:
    void Execute() override {
        std::atomic<bool>* ended = ended_;
        bool* synchronised = synchronised_;
        started_->store(true);
        while (!Terminated()) std::this_thread::sleep_for(1ms);
        // Handing work to the GUI thread while it is in the destructor must not deadlock.
        Synchronize([synchronised] { *synchronised = true; });
        std::this_thread::sleep_for(50ms);
        ended->store(true);
    }

private:
    std::atomic<bool>* started_;
    std::atomic<bool>* ended_;
    bool* synchronised_;
};

class Noter : public TThread {
public:
    explicit Noter(bool& ran) : TThread(false), ran_(&ran) {}

protected:
    void Execute() override { *ran_ = true; }

private:
    bool* ran_;
};
}  // namespace

TEST_F(Threads, DestroyingARunningThreadTerminatesAndWaitsForIt) {
    std::atomic<bool> started{false}, ended{false};
    bool synchronised = false;
    auto looper = std::make_unique<Looper>(started, ended, synchronised);
    looper->Resume();
    while (!started) std::this_thread::sleep_for(1ms);
    looper.reset();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(synchronised);

    // Deleted before its start came round: it never runs.
    bool ran = false;
    std::make_unique<Noter>(ran).reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}
