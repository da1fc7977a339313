#include "support/hostileserver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

HostileServer::HostileServer(Behaviour behaviour, bool accepting) : behaviour_(std::move(behaviour)) {
    if (pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0 ||
        listen(listener_, accepting ? 16 : 0) != 0)
        throw std::runtime_error("listen");
    port_ = ntohs(addr.sin_port);
    if (accepting) thread_ = std::thread(&HostileServer::Serve, this);
}

HostileServer::~HostileServer() {
    char c = 0;
    if (write(wake_[1], &c, 1) != 1) std::terminate();
    if (thread_.joinable()) thread_.join();
    for (std::thread& t : clients_) t.join();
    if (queued_ >= 0) close(queued_);
    close(listener_);
    close(wake_[0]);
    close(wake_[1]);
}

void HostileServer::FillQueue() {
    queued_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port_));
    if (queued_ < 0 || connect(queued_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("connect");
}

void HostileServer::Serve() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;
        if (fds[1].revents) return;
        int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        ++connections_;
        std::lock_guard<std::mutex> lock(mutex_);
        clients_.emplace_back([this, client] {
            behaviour_(client, *this);
            close(client);
        });
    }
}

bool HostileServer::Wait(int milliseconds) {
    pollfd p{wake_[0], POLLIN, 0};
    return poll(&p, 1, milliseconds) == 0;
}

bool HostileServer::ReadRequest(int client, std::string* received) {
    std::string head;
    while (head.find("\r\n\r\n") == std::string::npos) {
        pollfd fds[2] = {{client, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, 10000) <= 0 || fds[1].revents) return false;
        char buf[4096];
        ssize_t n = recv(client, buf, sizeof buf, 0);
        if (n <= 0) return false;
        head.append(buf, static_cast<size_t>(n));
    }
    if (received) *received = head;
    return true;
}

bool HostileServer::Send(int client, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        pollfd fds[2] = {{client, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, 10000) <= 0 || fds[1].revents) return false;
        ssize_t n = send(client, data.data() + sent, data.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

void HostileServer::Reset(int client) {
    linger l{1, 0};  // closing with a zero linger time sends a reset
    setsockopt(client, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}
