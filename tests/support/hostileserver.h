// A server on 127.0.0.1 that misbehaves on purpose: each connection it accepts
// runs a behaviour of the test's choosing on the raw socket, in a thread of
// its own, so a server that never answers blocks nobody but its client. The
// destructor wakes every behaviour that still waits and joins them.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class HostileServer {
public:
    // Gets the client's socket and this server (for Wait and Send).
    using Behaviour = std::function<void(int client, HostileServer& server)>;

    // With accepting false nothing is ever accepted, and the listen queue
    // holds no more than the one connection FillQueue makes.
    explicit HostileServer(Behaviour behaviour, bool accepting = true);
    ~HostileServer();
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    int Port() const { return port_; }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
    // Opens one connection that the server never takes, so later ones wait.
    void FillQueue();
    int Connections() const { return connections_; }

    // Behaviours: reads until the end of the request head (false when the
    // client went away or the server is stopping); head, when given, gets it.
    bool ReadRequest(int client, std::string* head = nullptr);
    // Waits up to that long; false when the server is stopping.
    bool Wait(int milliseconds);
    // Sends all of data; false when the client went away or the server is
    // stopping.
    bool Send(int client, const std::string& data);
    // Ends the connection with a reset instead of an orderly close.
    static void Reset(int client);

private:
    void Serve();

    Behaviour behaviour_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
    int queued_ = -1;
    std::atomic<int> connections_{0};
    std::mutex mutex_;
    std::vector<std::thread> clients_;
    std::thread thread_;
};
