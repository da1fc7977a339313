#include "support/httpserver.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int BoundSocket(int& port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(fd);
        throw std::runtime_error("bind");
    }
    port = ntohs(addr.sin_port);
    return fd;
}

std::string Reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 301: return "Moved Permanently";
        case 302: return "Found";
        case 401: return "Unauthorized";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default: return "Status";
    }
}

std::string TrimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

void SendAll(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;  // the client went away
        sent += static_cast<size_t>(n);
    }
}
}  // namespace

std::string HttpRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
    return std::string();
}

bool HttpRequest::HasHeader(const std::string& name) const {
    for (const auto& h : headers)
        if (strcasecmp(h.first.c_str(), name.c_str()) == 0) return true;
    return false;
}

HttpResponse HttpResponse::Ok(const std::string& body, const std::string& contentType) {
    return {200, {{"Content-Type", contentType}}, body};
}

HttpResponse HttpResponse::Redirect(const std::string& location) {
    return {302, {{"Location", location}}, "moved"};
}

HttpResponse HttpResponse::Status(int status, const std::string& body) {
    return {status, {{"Content-Type", "text/html"}}, body};
}

TestHttpServer::TestHttpServer(Handler handler) : handler_(std::move(handler)) {
    if (pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    listener_ = BoundSocket(port_);
    if (listen(listener_, 16) != 0) throw std::runtime_error("listen");
    thread_ = std::thread(&TestHttpServer::Serve, this);
}

TestHttpServer::~TestHttpServer() {
    char c = 0;
    ssize_t ignored = write(wake_[1], &c, 1);
    (void)ignored;
    thread_.join();
    close(listener_);
    close(wake_[0]);
    close(wake_[1]);
}

void TestHttpServer::SetHandler(Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handler_ = std::move(handler);
}

std::vector<HttpRequest> TestHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

bool TestHttpServer::Stopping() const {
    pollfd p{wake_[0], POLLIN, 0};
    return poll(&p, 1, 0) > 0;
}

void TestHttpServer::Serve() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        ServeClient(client);
        close(client);
    }
}

void TestHttpServer::ServeClient(int client) {
    // Reads the head, then as much body as Content-Length announces.
    HttpRequest request;
    std::string data;
    size_t headEnd = std::string::npos;
    size_t wanted = 0;
    while (headEnd == std::string::npos || data.size() < headEnd + 4 + wanted) {
        pollfd fds[2] = {{client, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, 10000) <= 0 || fds[1].revents) return;
        char buf[4096];
        ssize_t n = recv(client, buf, sizeof buf, 0);
        if (n <= 0) return;
        data.append(buf, static_cast<size_t>(n));
        if (headEnd != std::string::npos || (headEnd = data.find("\r\n\r\n")) == std::string::npos) continue;

        std::vector<std::string> lines;
        for (size_t pos = 0; pos < headEnd;) {
            size_t next = std::min(data.find("\r\n", pos), headEnd);
            lines.push_back(data.substr(pos, next - pos));
            pos = next + 2;
        }
        const std::string& line = lines[0];
        size_t s1 = line.find(' '), s2 = line.rfind(' ');
        if (s1 == std::string::npos || s2 == s1) return;
        request.method = line.substr(0, s1);
        request.target = line.substr(s1 + 1, s2 - s1 - 1);
        request.version = line.substr(s2 + 1);
        for (size_t i = 1; i < lines.size(); ++i) {
            size_t colon = lines[i].find(':');
            if (colon != std::string::npos)
                request.headers.emplace_back(lines[i].substr(0, colon), TrimBlanks(lines[i].substr(colon + 1)));
        }
        if (request.HasHeader("Content-Length")) wanted = std::stoul(request.Header("Content-Length"));
    }
    request.body = data.substr(headEnd + 4, wanted);

    Handler handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        handler = handler_;
    }
    HttpResponse response = handler ? handler(request) : HttpResponse::Ok("OK", "text/plain");
    if (Stopping()) return;
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
    for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
    out += "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    if (request.method != "HEAD") out += response.body;
    SendAll(client, out);
}

int ClosedPort() {
    int port = 0;
    int fd = BoundSocket(port);
    close(fd);
    return port;
}
