#include "support/sheetserver.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
void PutNumber(std::string& out, unsigned v) {
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

unsigned GetNumber(const std::string& s, size_t at) {
    unsigned v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}
}  // namespace

FakeSheetServer::FakeSheetServer(const std::string& socketPath) : path_(socketPath) {
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path());
    unlink(path_.c_str());
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0 || pipe(wake_) != 0)
        throw std::runtime_error("cannot listen on " + path_);
    thread_ = std::thread([this] { Serve(); });
}

FakeSheetServer::~FakeSheetServer() {
    if (write(wake_[1], "x", 1) != 1) std::terminate();
    thread_.join();
    close(listener_);
    close(wake_[0]);
    close(wake_[1]);
    unlink(path_.c_str());
}

void FakeSheetServer::Refuse(int number) {
    std::lock_guard<std::mutex> lock(mutex_);
    refused_.insert(number);
}

void FakeSheetServer::SilentFrom(int number) {
    std::lock_guard<std::mutex> lock(mutex_);
    silentFrom_ = number;
}

void FakeSheetServer::Answer() {
    std::lock_guard<std::mutex> lock(mutex_);
    silentFrom_ = 0;
    if (write(wake_[1], "a", 1) != 1) std::terminate();
}

void FakeSheetServer::AnswerWithGarbage() {
    std::lock_guard<std::mutex> lock(mutex_);
    garbage_ = true;
}

void FakeSheetServer::HangUpAfter(int number) {
    std::lock_guard<std::mutex> lock(mutex_);
    hangUpAfter_ = number;
}

std::vector<std::string> FakeSheetServer::Commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

std::vector<std::string> FakeSheetServer::Done() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

int FakeSheetServer::Connections() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_;
}

bool FakeSheetServer::WaitForHangUps(int count, int milliseconds) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return hangUps_ >= count; });
}

bool FakeSheetServer::WaitForCommands(int count, int milliseconds) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                             [&] { return static_cast<int>(commands_.size()) >= count; });
}

void FakeSheetServer::Reply(int client, unsigned number, bool done) {
    std::string frame;
    PutNumber(frame, 6);
    frame += 'R';
    PutNumber(frame, number);
    frame += static_cast<char>(done ? 1 : 0);
    send(client, frame.data(), frame.size(), MSG_NOSIGNAL);
}

// Takes the complete frames off the input and answers them.
void FakeSheetServer::Handle(int client, std::string& input) {
    while (input.size() >= 4) {
        unsigned length = GetNumber(input, 0);
        if (input.size() < 4 + static_cast<size_t>(length)) return;
        const char kind = input[4];
        const unsigned number = GetNumber(input, 5);
        std::string command = input.substr(9, length - 5);
        input.erase(0, 4 + static_cast<size_t>(length));
        if (kind != 'E') continue;
        std::unique_lock<std::mutex> lock(mutex_);
        commands_.push_back(command);
        const int n = static_cast<int>(commands_.size());
        changed_.notify_all();
        if (garbage_) {
            send(client, "\0\0\0\x06X\0\0\0\0\1", 10, MSG_NOSIGNAL);
            continue;
        }
        if (silentFrom_ && n >= silentFrom_) {
            held_.push_back(number);
            continue;
        }
        const bool done = !refused_.count(n);
        if (done) done_.push_back(command);
        lock.unlock();
        Reply(client, number, done);
    }
}

void FakeSheetServer::Serve() {
    int client = -1;
    std::string input;
    for (;;) {
        pollfd fds[3] = {{wake_[0], POLLIN, 0}, {listener_, POLLIN, 0}, {client, POLLIN, 0}};
        if (poll(fds, client >= 0 ? 3 : 2, -1) < 0 && errno != EINTR) return;
        if (fds[0].revents & POLLIN) {
            char c;
            if (read(wake_[0], &c, 1) != 1 || c == 'x') break;
            std::unique_lock<std::mutex> lock(mutex_);
            std::vector<unsigned> held;
            held.swap(held_);
            lock.unlock();
            if (client >= 0)
                for (unsigned number : held) Reply(client, number, true);
        }
        if (client < 0 && (fds[1].revents & POLLIN)) {
            client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            std::lock_guard<std::mutex> lock(mutex_);
            if (client >= 0) ++connections_;
            continue;
        }
        if (client >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buf[4096];
            ssize_t n = recv(client, buf, sizeof buf, 0);
            if (n > 0) input.append(buf, static_cast<size_t>(n));
            Handle(client, input);
            bool hangUp = n <= 0;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (hangUpAfter_ && static_cast<int>(commands_.size()) >= hangUpAfter_) {
                    hangUp = true;
                    hangUpAfter_ = 0;
                }
            }
            if (hangUp) {
                close(client);
                client = -1;
                input.clear();
                std::lock_guard<std::mutex> lock(mutex_);
                held_.clear();
                ++hangUps_;
                changed_.notify_all();
            }
        }
    }
    if (client >= 0) close(client);
}
