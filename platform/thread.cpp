#include "platform/thread.h"

#include "platform/dialogs.h"
#include "platform/sysutils.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <deque>

namespace {
// A call handed to the GUI thread. It is both queued here, for WaitFor, and
// posted to the event loop; whichever route claims it first runs it.
struct SyncCall {
    std::function<void()> method;
    bool claimed = false;  // guarded by SyncMutex
    bool done = false;     // guarded by SyncMutex
};

// One lock and one signal for every thread: the calls waiting, each call's
// end and each thread's end are all announced on it, so WaitFor can sleep
// until either its thread ends or a call arrives.
std::mutex& SyncMutex() {
    static std::mutex m;
    return m;
}
std::condition_variable& SyncSignal() {
    static std::condition_variable c;
    return c;
}
std::deque<std::shared_ptr<SyncCall>>& SyncQueue() {
    static std::deque<std::shared_ptr<SyncCall>> q;
    return q;
}

thread_local bool onWorker = false;
thread_local const TThread* runningThread = nullptr;  // the worker's own thread object

// Without an application object, any thread that is not a worker serves.
bool OnGuiThread() {
    if (QCoreApplication* app = QCoreApplication::instance()) return QThread::currentThread() == app->thread();
    return !onWorker;
}

void ShowSyncException(const std::string& message) { ShowMessage(message); }
std::atomic<TSyncExceptionHandler> syncHandler{ShowSyncException};

void Report(const std::string& message) {
    try {
        syncHandler.load()(message);
    } catch (...) {
        // A failing report must not take the GUI thread down either.
    }
}

void RunGuarded(const std::function<void()>& method) {
    try {
        method();
    } catch (const std::exception& e) {
        Report(e.what());
    } catch (...) {
        Report("Unknown exception");
    }
}

void RunQueued(const std::shared_ptr<SyncCall>& call) {
    {
        std::lock_guard<std::mutex> lock(SyncMutex());
        if (call->claimed) return;
        call->claimed = true;
        auto& queue = SyncQueue();
        queue.erase(std::remove(queue.begin(), queue.end(), call), queue.end());
    }
    RunGuarded(call->method);
    {
        std::lock_guard<std::mutex> lock(SyncMutex());
        call->done = true;
    }
    SyncSignal().notify_all();
}
}  // namespace

// Lets a start posted to the event loop find out that its thread object has
// gone meanwhile.
struct TThread::StartGate {
    std::mutex mutex;
    TThread* owner = nullptr;
};

TThread::TThread(bool createSuspended) : gate_(std::make_shared<StartGate>()), suspended_(createSuspended) {
    gate_->owner = this;
    QCoreApplication* app = QCoreApplication::instance();
    if (createSuspended || !app) return;
    std::weak_ptr<StartGate> weak = gate_;
    QMetaObject::invokeMethod(
        app,
        [weak] {
            if (std::shared_ptr<StartGate> gate = weak.lock()) {
                std::lock_guard<std::mutex> lock(gate->mutex);
                if (gate->owner) gate->owner->Start();
            }
        },
        Qt::QueuedConnection);
}

TThread::~TThread() {
    {
        std::lock_guard<std::mutex> lock(gate_->mutex);
        gate_->owner = nullptr;
    }
    Terminate();
    Wait();
}

void TThread::Start() {
    std::lock_guard<std::mutex> lock(startMutex_);
    if (started_ || suspended_) return;
    thread_ = std::thread(&TThread::Run, this);
    started_ = true;
}

void TThread::Resume() {
    {
        std::lock_guard<std::mutex> lock(startMutex_);
        suspended_ = false;
    }
    Start();
}

bool TThread::Suspended() const {
    std::lock_guard<std::mutex> lock(startMutex_);
    return suspended_;
}

bool TThread::Finished() const {
    std::lock_guard<std::mutex> lock(SyncMutex());
    return finished_;
}

std::exception_ptr TThread::FatalException() const {
    std::lock_guard<std::mutex> lock(SyncMutex());
    return fatal_;
}

bool TThread::CheckTerminated() { return runningThread && runningThread->Terminated(); }

void TThread::Run() {
    onWorker = true;
    runningThread = this;
    std::exception_ptr fatal;
    try {
        Execute();
    } catch (...) {
        fatal = std::current_exception();
    }
    runningThread = nullptr;
    {
        std::lock_guard<std::mutex> lock(SyncMutex());
        fatal_ = fatal;
        finished_ = true;
    }
    SyncSignal().notify_all();
}

void TThread::WaitFor() {
    Start();
    Wait();
}

void TThread::Wait() {
    {
        std::lock_guard<std::mutex> lock(startMutex_);
        if (!thread_.joinable()) return;
        if (thread_.get_id() == std::this_thread::get_id()) throw Exception("A thread cannot wait for itself");
    }
    const bool gui = OnGuiThread();
    {
        std::unique_lock<std::mutex> lock(SyncMutex());
        while (!finished_) {
            if (gui && !SyncQueue().empty()) {
                std::shared_ptr<SyncCall> call = SyncQueue().front();
                lock.unlock();
                RunQueued(call);
                lock.lock();
                continue;
            }
            SyncSignal().wait(lock);
        }
    }
    std::lock_guard<std::mutex> lock(startMutex_);
    if (thread_.joinable()) thread_.join();
}

void TThread::Synchronize(std::function<void()> method) {
    if (OnGuiThread()) {
        RunGuarded(method);
        return;
    }
    auto call = std::make_shared<SyncCall>();
    call->method = std::move(method);
    {
        std::lock_guard<std::mutex> lock(SyncMutex());
        SyncQueue().push_back(call);
    }
    SyncSignal().notify_all();
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [call] { RunQueued(call); }, Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(SyncMutex());
    SyncSignal().wait(lock, [&] { return call->done; });
}

TSyncExceptionHandler SetSyncExceptionHandler(TSyncExceptionHandler handler) {
    return syncHandler.exchange(handler ? handler : ShowSyncException);
}
