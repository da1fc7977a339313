// HTTP downloads in the six steps our fetcher takes (open a session, connect,
// open a request, send it, read the body, close), as thin functions over one
// libcurl transfer per request. Called on worker threads; every handle belongs
// to one thread at a time, except that closing a session or connection from
// another thread cancels the transfers under it. A transfer running on a
// TThread whose Terminate has been called is cancelled too, within a tenth of
// a second.
#pragma once

#include <cstdint>

using BOOL = int;
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

// Opaque; null when a call fails.
using HINTERNET = void*;

// Access types: the environment's proxy settings, none at all, or the one named.
constexpr unsigned long INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr unsigned long INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr unsigned long INTERNET_OPEN_TYPE_PROXY = 2;

constexpr unsigned short INTERNET_INVALID_PORT_NUMBER = 0;  // the service's default port
constexpr unsigned short INTERNET_DEFAULT_HTTP_PORT = 80;
constexpr unsigned long INTERNET_SERVICE_HTTP = 1;

// Request flags. There is no local cache to bypass or spare; RELOAD and
// PRAGMA_NOCACHE still ask caching proxies on the way for a fresh copy.
constexpr unsigned long INTERNET_FLAG_RELOAD = 0x1;
constexpr unsigned long INTERNET_FLAG_NO_CACHE_WRITE = 0x2;
constexpr unsigned long INTERNET_FLAG_PRAGMA_NOCACHE = 0x4;
// Accepted for the callers that ask for it; every request here has its own
// connection, which ends with the answer.
constexpr unsigned long INTERNET_FLAG_KEEP_CONNECTION = 0x00400000;

// proxyName is "host:port" with INTERNET_OPEN_TYPE_PROXY; proxyBypass lists
// hosts reached directly, separated by ';', ',' or blanks.
HINTERNET InternetOpenA(const char* agent, unsigned long accessType, const char* proxyName,
                        const char* proxyBypass, unsigned long flags);
// userName and password, when given (empty texts too), are sent as Basic
// credentials. serverName may name its port ("host:port"), which counts when
// port is INTERNET_INVALID_PORT_NUMBER. A name with control characters, or
// with a port that is no port number, is refused.
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, unsigned short port, const char* userName,
                           const char* password, unsigned long service, unsigned long flags, uintptr_t context);
// verb null means GET; version "HTTP/1.0" or null (1.1); acceptTypes is a
// null-terminated list, sent as the Accept header, or null for no Accept
// header at all. An object name with control characters is refused.
HINTERNET HttpOpenRequestA(HINTERNET connect, const char* verb, const char* objectName, const char* version,
                           const char* referrer, const char** acceptTypes, unsigned long flags, uintptr_t context);
// Performs the request and keeps the body for reading. headers are extra
// "Name: value" lines separated by CR LF (headersLength ~0UL: up to the NUL).
// FALSE only when no answer came (refused, timed out, cancelled): an error
// page is an answer, and its body can be read. So is a body cut short when
// the connection closed or was reset after part of it had come.
BOOL HttpSendRequestA(HINTERNET request, const char* headers, unsigned long headersLength, void* optional,
                      unsigned long optionalLength);
// Copies the next piece of the body; *bytesRead is 0 at the end. A body cut
// short, or over 32 MiB and cut there, is read up to the cut, and then
// reading fails (FALSE).
BOOL InternetReadFile(HINTERNET file, void* buffer, unsigned long bytesToRead, unsigned long* bytesRead);
BOOL InternetCloseHandle(HINTERNET handle);

// --- time limits ---
// A request that cannot connect within connectSeconds, whose transfer makes
// no progress for stalledSeconds, or that has not ended after totalSeconds
// (a server can keep a transfer alive for ever by sending a little now and
// then) ends unanswered: HttpSendRequestA returns FALSE.
struct InternetTimeLimits {
    long connectSeconds = 30;
    long stalledSeconds = 60;
    long totalSeconds = 300;
    bool operator==(const InternetTimeLimits&) const = default;
};
InternetTimeLimits GetInternetTimeLimits();
// Test seam: shorter limits; InternetTimeLimits{} brings back the real ones.
void SetInternetTimeLimits(const InternetTimeLimits& limits);

// --- connection state ---
constexpr unsigned long INTERNET_CONNECTION_LAN = 0x1;

// Non-zero when some network interface other than loopback is up and has an
// address; *flags (when not null) is then INTERNET_CONNECTION_LAN, else 0.
BOOL InternetGetConnectedState(unsigned long* flags, unsigned long reserved);
// Test seam: -1 uses the real state, 0 answers offline, 1 online.
void SetOnlineStateOverride(int state);

struct ifaddrs;
// The decision itself, over a list of interfaces as getifaddrs returns it.
bool InterfacesOnline(const ifaddrs* list);
