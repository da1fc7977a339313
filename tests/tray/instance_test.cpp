// The real program started as processes: one copy at a time.
#include "platform/winapi.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>


namespace {
namespace fs = std::filesystem;

class Instances : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        CopyShippedData(folder.Path());
        const InstalledProgram installed = InstallProgram(TV_POCKETVANE_PROGRAM, folder.Path());
        program = installed.program;
        runtime = installed.runtime;
        // Where the lock goes without a private runtime folder, for the
        // programs and for us.
        if (const char* home = std::getenv("HOME")) savedHome = home;
        setenv("HOME", folder.Path().c_str(), 1);
    }
    void TearDown() override {
        for (pid_t pid : running) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (savedHome.empty()) unsetenv("HOME");
        else setenv("HOME", savedHome.c_str(), 1);
        ProgramFolderTest::TearDown();
    }
    pid_t Run() {
        pid_t pid = StartProgram(program, "offscreen", runtime);
        EXPECT_NE(pid, 0);
        running.push_back(pid);
        return pid;
    }
    // Whether some process holds the program's lock in the programs' session.
    bool LockHeld() const { return LockHeldIn(runtime, "Pocketvane"); }
    static bool WaitFor(const std::function<bool()>& done, int seconds = 30) {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
    // The exit status once the process ends; -1 when it is still running after the wait.
    int ExitStatus(pid_t pid, int seconds = 30) {
        int status = 0;
        bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds);
        if (!ended) return -1;
        running.erase(std::remove(running.begin(), running.end(), pid), running.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Stop(pid_t pid) {
        kill(pid, SIGTERM);
        ExitStatus(pid);
    }

    std::string program, runtime, savedHome;
    std::vector<pid_t> running;
};
}  // namespace

TEST_F(Instances, ASecondCopyEndsAtOnceQuietlyAndAThirdRunsAfterTheFirst) {
    pid_t first = Run();
    ASSERT_TRUE(WaitFor([&] { return LockHeld(); }));
    pid_t second = Run();
    EXPECT_EQ(ExitStatus(second), 0);
    EXPECT_EQ(ExitStatus(first, 0), -1);  // the first runs on
    EXPECT_FALSE(fs::exists(folder.File("pocketvane.ini")));

    Stop(first);
    EXPECT_FALSE(LockHeld());
    pid_t third = Run();
    ASSERT_TRUE(WaitFor([&] { return LockHeld(); }));
    EXPECT_EQ(ExitStatus(third, 1), -1);
    Stop(third);
}

TEST_F(Instances, TwentyCopiesStartedAtOnceLeaveOneWhateverTheRuntimeFolderHolds) {
    // A folder where a lock file used to go, then a runtime folder that is a file.
    fs::create_directory(runtime + "/mutex-Pocketvane.lock");
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            fs::remove_all(runtime);
            WriteAll(runtime, "not a folder");
        }
        std::vector<pid_t> alive;
        for (int i = 0; i < 20; ++i) alive.push_back(Run());
        int quiet = 0;  // copies that ended at once, as a second copy does
        WaitFor([&] {
            for (auto it = alive.begin(); it != alive.end();) {
                int status = 0;
                if (waitpid(*it, &status, WNOHANG) == *it) {
                    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) ++quiet;
                    running.erase(std::remove(running.begin(), running.end(), *it), running.end());
                    it = alive.erase(it);
                } else {
                    ++it;
                }
            }
            return alive.size() <= 1;
        });
        EXPECT_EQ(quiet, 19) << "round " << round;
        ASSERT_EQ(alive.size(), 1u) << "round " << round;
        EXPECT_TRUE(LockHeld());
        Stop(alive.front());
        EXPECT_FALSE(LockHeld());
    }
}
