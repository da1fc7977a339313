#include "update/fetcher.h"

#include "mainwin/main.h"
#include "update/currsourceupdate.h"

#include <exception>

namespace {
int syncDepth = 0;  // GUI thread only

// Runs the decoder's part, then releases the main window's Update button
// even when that part failed; the failure is then shown as usual.
void EndUpdate(const std::function<void()>& decoderPart) {
    std::exception_ptr failure;
    try {
        decoderPart();
    } catch (...) {
        failure = std::current_exception();
    }
    if (MainForm) MainForm->UpdateFinished();
    if (failure) std::rethrow_exception(failure);
}
}  // namespace

bool Fetcher::InSynchronisedCall() { return syncDepth > 0; }

void Fetcher::SyncCall(const std::function<void()>& method) {
    Synchronize([&method] {
        struct Depth {
            Depth() { ++syncDepth; }
            ~Depth() { --syncDepth; }
        } depth;
        method();
    });
}

void Fetcher::HandOver(const std::function<void()>& method) {
    if (handedOver_.exchange(true)) return;
    SyncCall(method);
}

void Fetcher::Deliver(CurrSourceUpdate* updater, const std::string& document) {
    EndUpdate([&] {
        if (updater) updater->DocumentFetched(document);
    });
}

void Fetcher::DeliverCutOff(CurrSourceUpdate* updater) {
    if (updater) updater->FetchCutOff();
}

void Fetcher::DeliverFailure(CurrSourceUpdate* updater, const std::string& message) {
    EndUpdate([&] {
        if (updater) updater->FetchFailed(message);
    });
}
