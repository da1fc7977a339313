// Downloads a source's update page over HTTP.
#pragma once

#include "update/fetcher.h"

#include <string>

class CurrSource;

class FetchInternet : public Fetcher {
public:
    explicit FetchInternet(CurrSource* source);
    // Waits for a running thread, which may still hand over meanwhile.
    ~FetchInternet() override;
    // Also copies what the request needs: from then on the worker reads
    // neither the source nor the settings, which the GUI thread may change.
    void Fetch(CurrSourceUpdate* updater) override;

    CurrSource* Source;
    CurrSourceUpdate* Updater = nullptr;
    std::string Document;

protected:
    void Execute() override;
    // The GET; on success fills Document and hands it over, otherwise throws
    // Exception with the message of the step that failed.
    void HttpGet(const std::string& host, const std::string& path, bool useProxy, const std::string& proxy, int port,
                 bool useAuth, const std::string& userName, const std::string& password);
    void SyncDone();

private:
    struct Request {
        std::string host, path, proxy, userName, password;
        bool useProxy = false, useAuth = false;
        int port = 0;
    } request_;
    std::string failure_;
};
