// The named mutex, the application's window style and showing, raising and
// activating a form's window.
#include "platform/shellapi.h"
#include "platform/formkit.h"
#include "platform/winapi.h"
#include "support/testenv.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <cstddef>
#include <cstring>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
// Points the runtime folder at a temporary one for the test.
class Mutex : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_RUNTIME_DIR", "HOME"})
            if (const char* old = std::getenv(name)) saved_[name] = old;
        setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
        setenv("HOME", folder.Path().c_str(), 1);  // where locks go without a private runtime folder
    }
    void TearDown() override {
        for (const char* name : {"XDG_RUNTIME_DIR", "HOME"}) {
            if (saved_.count(name)) setenv(name, saved_[name].c_str(), 1);
            else unsetenv(name);
        }
    }
    TempFolder folder;

private:
    std::map<std::string, std::string> saved_;
};
}  // namespace

TEST_F(Mutex, OneHolderAtATimeAndTheNameIsFreeAgainWhenItIsClosed) {
    HANDLE first = CreateMutexA(nullptr, false, "Test/Name");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateMutexA(nullptr, false, "Test/Name");
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    HANDLE other = CreateMutexA(nullptr, false, "Other");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);

    // A program started meanwhile does not keep the name after we let go.
    pid_t child = 0;
    char sleepPath[] = "/bin/sleep", seconds[] = "30";
    char* argv[] = {sleepPath, seconds, nullptr};
    ASSERT_EQ(posix_spawn(&child, sleepPath, nullptr, nullptr, argv, environ), 0);
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(first));
    // (Any thread of the toolkit that starts a helper program holds copies of
    // every open handle until that program has started, a moment at most;
    // the program started here runs for half a minute.)
    HANDLE again = nullptr;
    for (int i = 0; i < 200; ++i) {
        again = CreateMutexA(nullptr, false, "Test/Name");
        if (GetLastError() == ERROR_SUCCESS) break;
        CloseHandle(again);
        usleep(10000);
    }
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    CloseHandle(again);
    CloseHandle(other);

    EXPECT_EQ(CreateMutexA(nullptr, false, ""), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
    EXPECT_FALSE(CloseHandle(nullptr));
}

TEST_F(Mutex, HoldsWhateverStateTheRuntimeFolderIsInAndEachSessionHasItsOwn) {
    // A runtime folder that is a file, is missing, or has a folder where an
    // older lock file went changes nothing.
    std::filesystem::create_directory(folder.File("mutex-Name.lock"));
    WriteAll(folder.File("file"), "x");
    for (const std::string& runtime : {folder.Path(), folder.File("file"), folder.File("missing")}) {
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        HANDLE first = CreateMutexA(nullptr, false, "Name");
        ASSERT_NE(first, nullptr) << runtime;
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS) << runtime;
        HANDLE second = CreateMutexA(nullptr, false, "Name");
        EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS) << runtime;
        CloseHandle(second);
        CloseHandle(first);
    }
    // Two sessions, and a name longer than a socket address holds.
    setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
    const std::string longName(300, 'n');
    HANDLE here = CreateMutexA(nullptr, false, longName.c_str());
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    setenv("XDG_RUNTIME_DIR", folder.File("other").c_str(), 1);
    HANDLE there = CreateMutexA(nullptr, false, longName.c_str());
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE again = CreateMutexA(nullptr, false, longName.c_str());
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    CloseHandle(again);
    CloseHandle(there);
    CloseHandle(here);
}

TEST_F(Mutex, OnlyAProcessOfThisUserCountsAndOneSessionIsOneNameHoweverSpelt) {
    WriteAll(folder.File("file"), "x");
    // The runtime folder, private as it should be, and a file in its place.
    for (const std::string& runtime : {folder.Path(), folder.File("file")}) {
        SCOPED_TRACE(runtime);
        // Another user (nobody, when we may become it) listens under every
        // name the lock of this session had in the name space all users share.
        pid_t other = 0;
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const std::string name = "tallyvane-mutex/" + std::to_string(getuid()) + "/" + runtime + "/Name";
        if (geteuid() == 0 && (other = fork()) == 0) {
            bool bound = setgid(65534) == 0 && setuid(65534) == 0;
            for (int n = 0; n < 8 && bound; ++n) {
                std::string address = name;
                if (n > 0) address += "#" + std::to_string(n);
                sockaddr_un where{};
                where.sun_family = AF_UNIX;
                std::memcpy(where.sun_path + 1, address.data(), address.size());
                const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + address.size());
                int fd = socket(AF_UNIX, SOCK_STREAM, 0);
                bound = bind(fd, reinterpret_cast<const sockaddr*>(&where), length) == 0 && listen(fd, 8) == 0;
            }
            if (!bound || write(ready[1], "x", 1) != 1) _exit(1);
            pause();
        }
        char x;
        if (other) {
            ASSERT_EQ(read(ready[0], &x, 1), 1);
        }
        close(ready[0]);
        close(ready[1]);

        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        HANDLE first = CreateMutexA(nullptr, false, "Name");
        EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
        for (const std::string& spelt : {runtime + "/", runtime + "//./", "/" + runtime}) {
            setenv("XDG_RUNTIME_DIR", spelt.c_str(), 1);
            HANDLE again = CreateMutexA(nullptr, false, "Name");
            EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS) << spelt;
            CloseHandle(again);
        }
        CloseHandle(first);
        if (other) {
            kill(other, SIGKILL);
            waitpid(other, nullptr, 0);
        }
    }
}

namespace {
class Windows : public GuiTest {};
}  // namespace

TEST_F(Windows, ShowWindowGoesThroughTheFormAndForegroundActivates) {
    TForm a(nullptr), b(nullptr);
    int shown = 0, hidden = 0;
    a.OnShow = [&](TObject*) { ++shown; };
    a.OnHide = [&](TObject*) { ++hidden; };
    EXPECT_FALSE(ShowWindow(&a, SW_RESTORE));
    EXPECT_TRUE(a.Visible());
    EXPECT_EQ(shown, 1);
    a.SetWindowState(wsMinimized);
    EXPECT_TRUE(ShowWindow(&a, SW_RESTORE));
    EXPECT_EQ(a.WindowState(), wsNormal);
    EXPECT_EQ(shown, 1);  // it was shown already
    ShowWindow(&a, SW_HIDE);
    EXPECT_EQ(hidden, 1);
    EXPECT_FALSE(BringWindowToTop(&a));
    EXPECT_FALSE(SetForegroundWindow(&a));

    a.Show();
    b.Show();
    QApplication::processEvents();
    EXPECT_TRUE(BringWindowToTop(&a));
    EXPECT_TRUE(SetForegroundWindow(&a));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), a.Handle());
    EXPECT_TRUE(SetForegroundWindow(&b));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), b.Handle());
}

TEST_F(Windows, TheApplicationsExtendedStyleIsKept) {
    long before = GetWindowLongA(Application, GWL_EXSTYLE);
    EXPECT_EQ(SetWindowLongA(Application, GWL_EXSTYLE, before | WS_EX_TOOLWINDOW), before);
    EXPECT_EQ(GetWindowLongA(Application, GWL_EXSTYLE), before | WS_EX_TOOLWINDOW);
    TForm form(nullptr);
    form.Show();  // no X11 here: nothing to mark, and nothing fails
    SetWindowLongA(Application, GWL_EXSTYLE, before);
    EXPECT_EQ(GetWindowLongA(Application, GWL_EXSTYLE), before);
}
