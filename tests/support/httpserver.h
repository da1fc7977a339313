// A tiny HTTP server on 127.0.0.1 for tests: one thread, one connection at a
// time, and every answer closes its connection. It records each request as
// it arrived and answers through a handler the test chooses. As a proxy it
// needs nothing more: a proxied request simply has an absolute URL as target.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct HttpRequest {
    std::string method, target, version;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string RequestLine() const { return method + " " + target + " " + version; }
    // The value of a header, name ignoring case; "" when absent.
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
};

struct HttpResponse {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    static HttpResponse Ok(const std::string& body, const std::string& contentType = "text/html");
    static HttpResponse Redirect(const std::string& location);
    static HttpResponse Status(int status, const std::string& body);
};

class TestHttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;
    // Without a handler every request gets 200 and the body "OK".
    explicit TestHttpServer(Handler handler = nullptr);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    int Port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Url(const std::string& path) const { return "http://" + HostPort() + path; }
    void SetHandler(Handler handler);
    std::vector<HttpRequest> Requests() const;

private:
    void Serve();
    void ServeClient(int client);
    bool Stopping() const;

    int listener_ = -1;
    int wake_[2] = {-1, -1};  // written to on shutdown
    int port_ = 0;
    mutable std::mutex mutex_;
    Handler handler_;
    std::vector<HttpRequest> requests_;
    std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort();
