// A worker thread: a subclass overrides Execute, which runs on its own thread
// and hands work for the GUI thread to Synchronize.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TThread {
public:
    // A thread created running starts once its creator is done with it: when
    // the GUI thread is back in its event loop, or at the first Resume or
    // WaitFor, whichever comes first. Starting in this constructor would run
    // Execute before the subclass is built.
    explicit TThread(bool createSuspended);
    // Terminates and waits. By then the subclass part is already gone, so a
    // subclass whose Execute uses its own members calls WaitFor in its own
    // destructor. A thread not started by then never runs.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts a suspended thread; does nothing once it has started.
    void Resume();
    bool Suspended() const;
    // Asks Execute to stop; Execute checks Terminated() and returns.
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // True on a worker thread whose Terminate has been called; false on
    // every other thread. Lets the layer's blocking calls give up early.
    static bool CheckTerminated();
    // Execute has returned (or thrown).
    bool Finished() const;
    // Blocks until Execute has returned. On the GUI
    // thread it goes on running synchronised calls meanwhile (and nothing
    // else: no input, no timers). A suspended thread answers at once.
    void WaitFor();

    // Called on the worker: runs method on the GUI thread and returns when it
    // has run. Called on the GUI thread: runs it at once. An exception thrown
    // by method goes to the synchronised-call exception handler and never
    // back to the worker.
    void Synchronize(std::function<void()> method);

    // What Execute threw, if it threw; the thread ends either way.
    std::exception_ptr FatalException() const;

protected:
    virtual void Execute() = 0;

private:
    struct StartGate;
    void Start();  // unless suspended or started already
    void Run();
    void Wait();   // waits without starting

    std::shared_ptr<StartGate> gate_;
    std::thread thread_;
    mutable std::mutex startMutex_;
    bool suspended_;
    bool started_ = false;
    std::atomic<bool> terminated_{false};
    bool finished_ = false;  // guarded by the synchronisation lock
    std::exception_ptr fatal_;
};

// Receives the message of an exception thrown by a synchronised call. The GUI
// installs the application's own; the default shows it with ShowMessage.
using TSyncExceptionHandler = void (*)(const std::string& message);
// Installs a handler and returns the previous one (null restores the default).
TSyncExceptionHandler SetSyncExceptionHandler(TSyncExceptionHandler handler);
