// The worker that fetches a source's page for one update. Its thread is made
// suspended; Fetch hands it the decoder and starts it. Whatever happens on the
// worker, a fetch ends in exactly one hand-over to the GUI thread: the page,
// the message of what failed, or, for a fetch cut off, only the end of its
// progress window. A newer update or the program's shutdown cuts a fetch off
// by asking the thread to terminate: a download then stops at once and
// reports nothing.
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
    // GUI thread: the hand-over of a fetch that was cut off. Whoever cut it
    // off has the main window in hand, so only the decoder hears of it.
    static void DeliverCutOff(CurrSourceUpdate* updater);

private:
    std::atomic<bool> handedOver_{false};
};
