#include "platform/wininet.h"

#include "platform/sysutils.h"
#include "platform/thread.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ifaddrs.h>
#include <memory>
#include <mutex>
#include <net/if.h>
#include <string>
#include <sys/socket.h>
#include <unordered_set>
#include <vector>

namespace {
// Once per process, before the first handle; the magic static makes the
// first callers on several threads wait for one another.
bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

using Flag = std::shared_ptr<std::atomic<bool>>;

struct Handle {
    virtual ~Handle() = default;
    // Set when the handle is closed. A request watches its own flag and its
    // parents', so closing a session from another thread cancels its download.
    Flag closed = std::make_shared<std::atomic<bool>>(false);
    std::vector<Flag> watched{closed};
};

// What a request needs of its session and connection. Children copy it, so
// closing a parent first never leaves a child pointing at freed settings.
struct Endpoint {
    std::string agent;
    unsigned long access = INTERNET_OPEN_TYPE_DIRECT;
    std::string proxy, noProxy;
    std::string server;
    unsigned short port = INTERNET_DEFAULT_HTTP_PORT;
    std::string user, password;
    bool credentials = false;  // given, even as empty texts
};

struct Session : Handle {
    Endpoint endpoint;
};

struct Connection : Handle {
    Endpoint endpoint;
};

struct Request : Handle {
    ~Request() override { curl_easy_cleanup(curl); }
    CURL* curl = nullptr;
    Endpoint endpoint;
    std::string verb, url, version, referrer;
    std::vector<std::string> headers;  // from the accept types and flags
    std::string body;
    size_t offset = 0;
    bool cut = false;  // the body was not kept whole: past kMaxBody, or the connection ended early
};

std::mutex liveMutex;
std::unordered_set<void*>& Live() {
    static std::unordered_set<void*> live;
    return live;
}

HINTERNET Register(Handle* h) {
    std::lock_guard<std::mutex> lock(liveMutex);
    Live().insert(h);
    return h;
}

template <class T>
T* Find(HINTERNET h) {
    std::lock_guard<std::mutex> lock(liveMutex);
    if (!h || !Live().count(h)) return nullptr;
    return dynamic_cast<T*>(static_cast<Handle*>(h));
}

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

// A name or path with a line break or another control character could smuggle
// text into the request; it is refused where it is handed over.
bool HasControl(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

std::string ProxyUrl(const std::string& name) {
    std::string proxy = Trim(name);
    if (proxy.empty() || proxy.find("://") != std::string::npos) return proxy;
    return "http://" + proxy;
}

// Our bypass list in the form libcurl takes: comma-separated host names
// where "*.example.org" becomes ".example.org". "<local>" has no equivalent.
std::string NoProxyList(const std::string& bypass) {
    std::string list, item;
    auto flush = [&] {
        if (!item.empty() && item != "<local>") {
            if (item.size() > 1 && item[0] == '*') item.erase(0, 1);
            if (!list.empty()) list += ',';
            list += item;
        }
        item.clear();
    };
    for (char c : bypass) {
        if (c == ';' || c == ',' || c == ' ' || c == '\t') flush();
        else item += c;
    }
    flush();
    return list;
}

std::vector<std::string> HeaderLines(const char* headers, unsigned long length) {
    std::vector<std::string> lines;
    if (!headers) return lines;
    size_t n = length == 0 || length == ~0UL || length == 0xFFFFFFFFUL ? std::strlen(headers) : length;
    std::string line;
    for (size_t i = 0; i < n && headers[i]; ++i) {
        if (headers[i] == '\r' || headers[i] == '\n') {
            if (!Trim(line).empty()) lines.push_back(line);
            line.clear();
        } else {
            line += headers[i];
        }
    }
    if (!Trim(line).empty()) lines.push_back(line);
    return lines;
}

// More than any rate page; a server that keeps sending is cut off here.
constexpr size_t kMaxBody = 32u << 20;

size_t KeepBody(char* data, size_t size, size_t count, void* user) {
    auto* r = static_cast<Request*>(user);
    size_t n = size * count;
    if (r->body.size() + n > kMaxBody) {
        r->cut = true;
        return 0;
    }
    r->body.append(data, n);
    return n;
}

// Also ends the transfer of a worker thread that has been asked to terminate:
// the program closing does not wait for a silent server.
int WatchCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    for (const Flag& f : static_cast<Request*>(user)->watched)
        if (f->load()) return 1;
    return TThread::CheckTerminated() ? 1 : 0;
}

// The transfer, with the cancel watch looked at every tenth of a second even
// while the server is silent (curl_easy_perform looks once a second then).
CURLcode Perform(CURL* curl) {
    CURLM* multi = curl_multi_init();
    if (!multi) return CURLE_OUT_OF_MEMORY;
    CURLcode rc = CURLE_OK;
    if (curl_multi_add_handle(multi, curl) != CURLM_OK) {
        curl_multi_cleanup(multi);
        return CURLE_FAILED_INIT;
    }
    int running = 1;
    while (running) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            rc = CURLE_FAILED_INIT;
            break;
        }
        if (running && curl_multi_poll(multi, nullptr, 0, 100, nullptr) != CURLM_OK) {
            rc = CURLE_FAILED_INIT;
            break;
        }
    }
    int queued = 0;
    while (CURLMsg* m = curl_multi_info_read(multi, &queued))
        if (m->msg == CURLMSG_DONE && m->easy_handle == curl) rc = m->data.result;
    curl_multi_remove_handle(multi, curl);
    curl_multi_cleanup(multi);
    return rc;
}

std::atomic<int> onlineOverride{-1};

std::mutex limitsMutex;
InternetTimeLimits limits;
}  // namespace

InternetTimeLimits GetInternetTimeLimits() {
    std::lock_guard<std::mutex> lock(limitsMutex);
    return limits;
}

void SetInternetTimeLimits(const InternetTimeLimits& l) {
    std::lock_guard<std::mutex> lock(limitsMutex);
    limits = l;
}

HINTERNET InternetOpenA(const char* agent, unsigned long accessType, const char* proxyName, const char* proxyBypass,
                        unsigned long) {
    if (!CurlReady()) return nullptr;
    auto* s = new Session;
    s->endpoint.agent = Text(agent);
    s->endpoint.access = accessType;
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
        s->endpoint.proxy = ProxyUrl(Text(proxyName));
        s->endpoint.noProxy = NoProxyList(Text(proxyBypass));
    }
    return Register(s);
}

HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, unsigned short port, const char* userName,
                           const char* password, unsigned long service, unsigned long, uintptr_t) {
    Session* s = Find<Session>(internet);
    if (!s || service != INTERNET_SERVICE_HTTP || !serverName || !*serverName) return nullptr;
    std::string server = serverName;
    if (HasControl(server)) return nullptr;
    // "host:port" (one colon only: more make an IPv6 address) names its port.
    size_t colon = server.find(':');
    if (port == INTERNET_INVALID_PORT_NUMBER && colon != std::string::npos &&
        server.find(':', colon + 1) == std::string::npos) {
        const std::string digits = server.substr(colon + 1);
        int named = 0;
        if (digits.empty() || digits.size() > 5 ||
            digits.find_first_not_of("0123456789") != std::string::npos || (named = std::stoi(digits)) < 1 ||
            named > 65535 || colon == 0)
            return nullptr;
        port = static_cast<unsigned short>(named);
        server.erase(colon);
    }
    auto* c = new Connection;
    c->endpoint = s->endpoint;
    c->watched.push_back(s->closed);
    c->endpoint.server = server;
    c->endpoint.port = port == INTERNET_INVALID_PORT_NUMBER ? INTERNET_DEFAULT_HTTP_PORT : port;
    c->endpoint.user = Text(userName);
    c->endpoint.password = Text(password);
    c->endpoint.credentials = userName || password;
    return Register(c);
}

HINTERNET HttpOpenRequestA(HINTERNET connect, const char* verb, const char* objectName, const char* version,
                           const char* referrer, const char** acceptTypes, unsigned long flags, uintptr_t) {
    Connection* c = Find<Connection>(connect);
    if (!c || HasControl(Text(objectName))) return nullptr;
    CURL* curl = curl_easy_init();
    if (!curl) return nullptr;
    auto* r = new Request;
    r->curl = curl;
    r->endpoint = c->endpoint;
    r->watched.insert(r->watched.end(), c->watched.begin(), c->watched.end());
    r->verb = verb && *verb ? verb : "GET";
    const Endpoint& e = c->endpoint;
    std::string host = e.server.find(':') != std::string::npos ? "[" + e.server + "]" : e.server;
    std::string object = Text(objectName);
    if (object.empty() || object[0] != '/') object.insert(object.begin(), '/');
    r->url = "http://" + host + (e.port == INTERNET_DEFAULT_HTTP_PORT ? "" : ":" + IntToStr(e.port)) + object;
    r->version = Text(version);
    r->referrer = Text(referrer);
    if (acceptTypes && acceptTypes[0]) {
        std::string accept = "Accept: ";
        for (const char** t = acceptTypes; *t; ++t) accept += (t == acceptTypes ? "" : ", ") + std::string(*t);
        r->headers.push_back(accept);
    } else {
        r->headers.push_back("Accept:");  // none at all: libcurl would send "*/*" of its own
    }
    if (flags & (INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE)) {
        r->headers.push_back("Pragma: no-cache");
        r->headers.push_back("Cache-Control: no-cache");
    }
    return Register(r);
}

BOOL HttpSendRequestA(HINTERNET request, const char* headers, unsigned long headersLength, void* optional,
                      unsigned long optionalLength) {
    Request* r = Find<Request>(request);
    if (!r) return FALSE;
    r->body.clear();
    r->offset = 0;
    r->cut = false;
    const Endpoint& e = r->endpoint;
    CURL* curl = r->curl;
    curl_easy_reset(curl);

    curl_easy_setopt(curl, CURLOPT_URL, r->url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // time-outs must not use signals on a worker thread
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    // A dead server must not hang an update for ever.
    const InternetTimeLimits l = GetInternetTimeLimits();
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, l.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, l.stalledSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, l.totalSeconds);
    if (!e.agent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, e.agent.c_str());

    if (e.access == INTERNET_OPEN_TYPE_PROXY) {
        curl_easy_setopt(curl, CURLOPT_PROXY, e.proxy.c_str());
        curl_easy_setopt(curl, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
        curl_easy_setopt(curl, CURLOPT_NOPROXY, e.noProxy.c_str());
    } else if (e.access == INTERNET_OPEN_TYPE_DIRECT) {
        // Direct means direct: the environment's proxy variables do not apply.
        curl_easy_setopt(curl, CURLOPT_PROXY, "");
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    }

    if (e.credentials) {
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(curl, CURLOPT_USERNAME, e.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, e.password.c_str());
    }
    if (SameText(r->version, "HTTP/1.0"))
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    else
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    if (!r->referrer.empty()) curl_easy_setopt(curl, CURLOPT_REFERER, r->referrer.c_str());

    if (SameText(r->verb, "HEAD")) {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    } else if (optional && optionalLength > 0) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(optionalLength));
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, static_cast<const char*>(optional));
        if (!SameText(r->verb, "POST")) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, r->verb.c_str());
    } else if (SameText(r->verb, "POST")) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, "");
    } else if (!SameText(r->verb, "GET")) {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, r->verb.c_str());
    }

    curl_slist* list = nullptr;
    for (const std::string& h : r->headers) list = curl_slist_append(list, h.c_str());
    for (const std::string& h : HeaderLines(headers, headersLength)) list = curl_slist_append(list, h.c_str());
    if (list) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);

    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, KeepBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, r);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, WatchCancel);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, r);

    CURLcode rc = WatchCancel(r, 0, 0, 0, 0) ? CURLE_ABORTED_BY_CALLBACK : Perform(curl);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(list);
    // An answer cut short (the connection closed or was reset in the middle
    // of the body) is still an answer, and so is one too long to keep: what
    // came is read, and reading fails where it ends.
    const bool cutShort = (rc == CURLE_PARTIAL_FILE || rc == CURLE_RECV_ERROR) && !r->body.empty();
    if (cutShort) r->cut = true;
    const bool answered = rc == CURLE_OK || cutShort || (rc == CURLE_WRITE_ERROR && r->cut);
    if (!answered) {
        r->body.clear();
        r->cut = false;
    }
    return answered ? TRUE : FALSE;
}

BOOL InternetReadFile(HINTERNET file, void* buffer, unsigned long bytesToRead, unsigned long* bytesRead) {
    Request* r = Find<Request>(file);
    if (!r || !bytesRead || (!buffer && bytesToRead > 0)) return FALSE;
    size_t n = std::min<size_t>(bytesToRead, r->body.size() - r->offset);
    if (n == 0 && bytesToRead > 0 && r->cut) {
        *bytesRead = 0;
        return FALSE;
    }
    if (n > 0) std::memcpy(buffer, r->body.data() + r->offset, n);
    r->offset += n;
    *bytesRead = static_cast<unsigned long>(n);
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
    {
        std::lock_guard<std::mutex> lock(liveMutex);
        if (!handle || Live().erase(handle) == 0) return FALSE;
    }
    auto* h = static_cast<Handle*>(handle);
    h->closed->store(true);
    delete h;
    return TRUE;
}

// ---------------------------------------------------------------- connection state

bool InterfacesOnline(const ifaddrs* list) {
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || (i->ifa_addr->sa_family != AF_INET && i->ifa_addr->sa_family != AF_INET6)) continue;
        if (i->ifa_flags & IFF_LOOPBACK) continue;
        // Up and with a carrier: an unplugged cable or an idle bridge keeps
        // its address but reaches nothing.
        if ((i->ifa_flags & IFF_UP) && (i->ifa_flags & IFF_RUNNING)) return true;
    }
    return false;
}

BOOL InternetGetConnectedState(unsigned long* flags, unsigned long) {
    int state = onlineOverride.load();
    bool online;
    if (state >= 0) {
        online = state != 0;
    } else {
        ifaddrs* list = nullptr;
        online = getifaddrs(&list) == 0 && InterfacesOnline(list);
        if (list) freeifaddrs(list);
    }
    if (flags) *flags = online ? INTERNET_CONNECTION_LAN : 0;
    return online ? TRUE : FALSE;
}

void SetOnlineStateOverride(int state) { onlineOverride.store(state < 0 ? -1 : (state ? 1 : 0)); }
