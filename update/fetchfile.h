// Reads a saved copy of a source's page from a file the user chooses.
#pragma once

#include "update/fetcher.h"

#include <string>

class FetchFile : public Fetcher {
public:
    FetchFile() = default;
    // Waits for a running thread, which may still hand over meanwhile.
    ~FetchFile() override;
    void Fetch(CurrSourceUpdate* updater) override;

    // The file as text, each line ended by CR LF, up to a zero byte; after the
    // message "Can't read file: " the empty text. Any thread.
    std::string ReadFile(const std::string& fileName);

    CurrSourceUpdate* Updater = nullptr;
    std::string Document;

protected:
    // The open dialog, its folder in the settings and the message run on the
    // GUI thread; only the file is read on the worker.
    void Execute() override;
    void SyncDone();

private:
    std::string failure_;
};
