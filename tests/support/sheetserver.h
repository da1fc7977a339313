// A spreadsheet that serves the link, for tests: it listens on the socket of a
// service and topic in a thread of its own, plain POSIX as any other program
// would, keeps every command sent to it and answers each as the test says.
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class FakeSheetServer {
public:
    // Listens on the socket path given (see DdeSocketPath).
    explicit FakeSheetServer(const std::string& socketPath);
    ~FakeSheetServer();
    FakeSheetServer(const FakeSheetServer&) = delete;
    FakeSheetServer& operator=(const FakeSheetServer&) = delete;

    // The command of that number (1-based, over the whole life of the server)
    // is answered with a refusal.
    void Refuse(int number);
    // From that command on nothing is answered until Answer is called.
    void SilentFrom(int number);
    // Answers every command held back and ends the silence.
    void Answer();
    // Answers with a frame that breaks the format.
    void AnswerWithGarbage();
    // Closes the client's connection once that many commands arrived.
    void HangUpAfter(int number);

    std::vector<std::string> Commands() const;
    // The commands answered as carried out, in order.
    std::vector<std::string> Done() const;
    int Connections() const;
    // Waits until as many connections have ended; false on time-out.
    bool WaitForHangUps(int count, int milliseconds = 5000) const;
    // Waits until that many commands arrived; false on time-out.
    bool WaitForCommands(int count, int milliseconds = 5000) const;

private:
    void Serve();
    void Handle(int client, std::string& input);
    void Reply(int client, unsigned number, bool done);

    std::string path_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::thread thread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> commands_;
    std::vector<std::string> done_;
    std::set<int> refused_;
    int silentFrom_ = 0;
    std::vector<unsigned> held_;
    bool garbage_ = false;
    int hangUpAfter_ = 0;
    int connections_ = 0;
    int hangUps_ = 0;
};
