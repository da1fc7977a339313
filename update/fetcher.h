// The worker that fetches a source's page for one update. Its thread is made
// suspended; Fetch hands it the decoder and starts it. Whatever happens on the
// worker, a fetch ends in exactly one hand-over to the GUI thread: the page,
// or the message of what failed. Only the program's shutdown asks the thread
// to terminate: a download then stops at once, and its failure is not handed
// over.
#pragma once

#include "platform/thread.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

class CurrSourceUpdate;

class Fetcher : public TThread {
public:
    Fetcher() : TThread(true) {}
    // GUI thread: records the decoder and starts the thread; returns at once.
    virtual void Fetch(CurrSourceUpdate* updater) = 0;

    // True while a synchronised call of a fetcher runs on the GUI thread. Its
    // worker waits for that call, so an update or a shutdown started from
    // inside it (a message box runs its own loop) would wait for ever.
    static bool InSynchronisedCall();

    // The largest page taken, downloaded or read from a file.
    static constexpr size_t MaxPage = 16u << 20;

protected:
    void Execute() override = 0;
    // Worker: runs method on the GUI thread and waits for it.
    void SyncCall(const std::function<void()>& method);
    // Worker: the one hand-over of the fetch; method runs on the GUI thread.
    void HandOver(const std::function<void()>& method);
    bool HandedOver() const { return handedOver_; }
    // GUI thread: the page reaches the decoder, or the failure does; either
    // way the main window then ends the update.
    static void Deliver(CurrSourceUpdate* updater, const std::string& document);
    static void DeliverFailure(CurrSourceUpdate* updater, const std::string& message);

private:
    std::atomic<bool> handedOver_{false};
};
