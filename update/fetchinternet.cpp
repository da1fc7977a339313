#include "update/fetchinternet.h"

#include "currency/currsource.h"
#include "currency/settings.h"
#include "platform/sysutils.h"
#include "platform/wininet.h"

#include <cstring>

FetchInternet::FetchInternet(CurrSource* source) : Source(source) {}

FetchInternet::~FetchInternet() { WaitFor(); }

void FetchInternet::Fetch(CurrSourceUpdate* updater) {
    Updater = updater;
    const Settings* settings = Settings::Instance();
    request_.host = Source ? Source->GetHost() : std::string();
    request_.path = Source ? Source->GetUpdateUrl() : std::string();
    request_.useProxy = settings->useProxy;
    request_.proxy = settings->Proxy;
    request_.port = settings->Port;
    request_.useAuth = settings->useAuth;
    request_.userName = settings->UserName;
    request_.password = settings->Password;
    Resume();
}

void FetchInternet::Execute() {
    try {
        const Request& r = request_;
        HttpGet(r.host, r.path, r.useProxy, r.proxy, r.port, r.useAuth, r.userName, r.password);
    } catch (const std::exception& e) {
        failure_ = e.what();
    } catch (...) {
        failure_ = "HTTP request failed!";
    }
    // A download cut off by a newer update or by the program's closing
    // reports nothing: nobody waits for it any more. Its progress window
    // still goes now, as the newer update may be another source's, whose
    // decoder is another one.
    if (HandedOver()) return;
    if (Terminated()) HandOver([this] { DeliverCutOff(Updater); });
    else HandOver([this] { DeliverFailure(Updater, failure_); });
}

void FetchInternet::HttpGet(const std::string& host, const std::string& path, bool useProxy, const std::string& proxy,
                            int port, bool useAuth, const std::string& userName, const std::string& password) {
    unsigned long access = INTERNET_OPEN_TYPE_DIRECT;
    std::string proxyName;
    if (useProxy) {
        proxyName = proxy + ":" + IntToStr(port);
        access = INTERNET_OPEN_TYPE_PROXY;
    }
    HINTERNET session = InternetOpenA("Tallyvane/2.1", access, useProxy ? proxyName.c_str() : nullptr, nullptr, 0);
    if (!session) throw Exception("Internet session initialization failed!");
    HINTERNET connect =
        InternetConnectA(session, host.c_str(), INTERNET_INVALID_PORT_NUMBER, useAuth ? userName.c_str() : nullptr,
                         useAuth ? password.c_str() : nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connect) {
        InternetCloseHandle(session);
        throw Exception("Internet connection failed!");
    }
    HINTERNET request =
        HttpOpenRequestA(connect, "GET", path.c_str(), nullptr, nullptr, nullptr, INTERNET_FLAG_KEEP_CONNECTION, 0);
    if (!request) {
        InternetCloseHandle(connect);
        InternetCloseHandle(session);
        throw Exception("HTTP request failed!");
    }
    if (!HttpSendRequestA(request, nullptr, 0, nullptr, 0)) {
        InternetCloseHandle(request);
        InternetCloseHandle(connect);
        InternetCloseHandle(session);
        throw Exception("Error in sending request.");
    }

    Document.clear();
    char piece[256];
    unsigned long read = 0;
    size_t received = 0;
    while (InternetReadFile(request, piece, 255, &read) && read > 0) {
        received += read;
        if (received > MaxPage) break;
        // A zero byte ends the page, as it ends a saved page: what follows it
        // must not be spliced onto the text before it.
        piece[read] = '\0';
        const size_t text = std::strlen(piece);
        Document.append(piece, text);
        if (text < read) break;
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connect);
    InternetCloseHandle(session);
    if (received > MaxPage) {
        // Far more than any rate page: nothing of it is decoded.
        Document.clear();
        throw Exception("HTTP request failed!");
    }
    if (!IsValidUtf8(Document)) Document = Cp1252ToUtf8(Document);
    HandOver([this] { SyncDone(); });
}

void FetchInternet::SyncDone() { Deliver(Updater, Document); }
