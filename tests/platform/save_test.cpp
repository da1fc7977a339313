// Saves beside files the program did not make, and saves of one file by two
// programs at once: nothing but the target may change, and every save must
// land whole.
#include "platform/sysutils.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
class Saves : public ProgramFolderTest {
protected:
    void TearDown() override {
        SetUnnamedTempFiles(true);
        ProgramFolderTest::TearDown();
    }
    // The files in out/, the lock of the program's saves aside.
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.File("out"))) names.insert(entry.path().filename());
        names.erase(".tallyvane.lock");
        return names;
    }
    // A process that takes something (as user nobody when asked and we are
    // root) and keeps it until it is killed; 0 when it could not take it.
    static pid_t Holding(bool asNobody, const std::function<bool()>& take) {
        int ready[2];
        if (pipe(ready) != 0) return 0;
        pid_t pid = fork();
        if (pid == 0) {
            if (asNobody && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(1);
            const char taken = take() ? 1 : 0;
            if (write(ready[1], &taken, 1) != 1) _exit(1);
            pause();
            _exit(0);
        }
        char taken = 0;
        close(ready[1]);
        if (pid < 0 || read(ready[0], &taken, 1) != 1 || !taken) {
            if (pid > 0) Stop(pid);
            pid = 0;
        }
        close(ready[0]);
        return pid;
    }
    static void Stop(pid_t pid) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    // Whether a save ends while a process holds something (which is let go
    // after a while, so that a save that waits for it does not hang the test).
    static bool EndsWhileHeld(pid_t holder, const std::string& path) {
        auto save = std::async(std::launch::async, [&] { return WriteFileAtomic(path, "saved", FileOwner::Program); });
        const bool ended = save.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
        Stop(holder);
        return save.get() && ended;
    }
};
}  // namespace

TEST_F(Saves, NoLockAnotherUserCanTakeHoldsASaveUp) {
    fs::create_directory(folder.File("out"));
    chmod(folder.Path().c_str(), 0711);
    const std::string out = folder.File("out"), path = folder.File("out/Pacific.XML");
    ASSERT_TRUE(WriteFileAtomic(path, "first", FileOwner::Program));
    // Another user who can read the folder locks it.
    pid_t other = Holding(true, [&] {
        int fd = open(out.c_str(), O_RDONLY | O_DIRECTORY);
        return fd >= 0 && flock(fd, LOCK_EX) == 0;
    });
    ASSERT_NE(other, 0);
    EXPECT_TRUE(EndsWhileHeld(other, path));
    // Nothing of our saves there can be opened by another user (one we can
    // become only as root).
    for (const auto& entry : fs::directory_iterator(out)) {
        if (geteuid() != 0) break;
        pid_t opened = Holding(true, [&] { return open(entry.path().c_str(), O_RDONLY) >= 0; });
        EXPECT_TRUE(opened == 0 || entry.path() == path) << entry.path();
        if (opened) Stop(opened);
    }
    // A save of ours that does not end holds the next one up for a few
    // seconds at most; then it writes anyway.
    std::vector<pid_t> ours;
    for (const auto& entry : fs::directory_iterator(out)) {
        if (entry.path() == path) continue;
        pid_t held = Holding(false, [&] {
            int fd = open(entry.path().c_str(), O_RDONLY);
            return fd >= 0 && flock(fd, LOCK_EX) == 0;
        });
        if (held) ours.push_back(held);
    }
    ASSERT_EQ(ours.size(), 1u);
    EXPECT_TRUE(EndsWhileHeld(ours[0], path));
    EXPECT_EQ(ReadAll(path), "saved");
}

TEST_F(Saves, ALinkIsSavedIntoTheFileItLeadsToAndStaysALink) {
    // Our links are followed in a folder all users may write to too.
    fs::create_directories(folder.File("out"));
    fs::permissions(folder.File("out"), fs::perms::all | fs::perms::sticky_bit);
    fs::create_directories(folder.File("synced"));
    WriteAll(folder.File("synced/IMF.XML"), "old rates");
    const std::string rates = folder.File("out/IMF.XML"), ini = folder.File("out/tallyvane2.ini");
    fs::create_symlink("../synced/IMF.XML", rates);
    // A link to a link, and at the end of it no file yet.
    fs::create_symlink(folder.File("synced/tallyvane2.ini"), folder.File("synced/ini-link"));
    fs::create_symlink(folder.File("synced/ini-link"), ini);
    int round = 0;
    for (bool unnamed : {true, false}) {
        for (FileOwner owner : {FileOwner::Program, FileOwner::User}) {
            SetUnnamedTempFiles(unnamed);
            const std::string text = "round " + std::to_string(++round);
            ASSERT_TRUE(WriteFileAtomic(rates, text, owner));
            ASSERT_TRUE(WriteFileAtomic(ini, text, owner));
            EXPECT_TRUE(fs::is_symlink(rates) && fs::is_symlink(ini) && fs::is_symlink(folder.File("synced/ini-link")));
            EXPECT_EQ(ReadAll(folder.File("synced/IMF.XML")), text);
            EXPECT_EQ(ReadAll(folder.File("synced/tallyvane2.ini")), text);
        }
    }
    EXPECT_EQ(Listing(), (std::set<std::string>{"IMF.XML", "tallyvane2.ini"}));
    // A link that leads round in a circle is not replaced.
    fs::create_symlink("loop", folder.File("out/loop"));
    EXPECT_FALSE(WriteFileAtomic(folder.File("out/loop"), "x", FileOwner::Program));
    EXPECT_TRUE(fs::is_symlink(folder.File("out/loop")));
    // Another user's link there is not followed: it could lead onto any file
    // of ours (a user we can become only as root).
    if (geteuid() != 0) return;
    chmod(folder.Path().c_str(), 0711);
    const std::string planted = folder.File("out/Pacific.XML"), ours = folder.File("synced/IMF.XML");
    pid_t other = Holding(true, [&] { return symlink(ours.c_str(), planted.c_str()) == 0; });
    ASSERT_NE(other, 0);
    Stop(other);
    EXPECT_FALSE(WriteFileAtomic(planted, "planted", FileOwner::Program));
    EXPECT_EQ(ReadAll(ours), "round 4");
}

TEST_F(Saves, ATemporaryNameThatIsTakenIsLeftAsItIs) {
    for (bool unnamed : {true, false}) {
        SetUnnamedTempFiles(unnamed);
        for (FileOwner owner : {FileOwner::User, FileOwner::Program}) {
            SCOPED_TRACE(std::string(unnamed ? "unnamed" : "named") +
                         (owner == FileOwner::User ? ", a file the user chose" : ", the program's own file"));
            fs::remove_all(folder.File("out"));
            fs::create_directories(folder.File("out/b.xml.tmp"));
            const std::string a = folder.File("out/a.csv"), b = folder.File("out/b.xml"), c = folder.File("out/c.ini");
            WriteAll(a + ".tmp", "the user's own");
            WriteAll(b + ".tmp/inside", "kept");
            WriteAll(folder.File("elsewhere"), "linked to");
            fs::create_symlink(folder.File("elsewhere"), c + ".tmp");

            for (int round = 1; round <= 2; ++round) {
                for (const std::string& path : {a, b, c}) {
                    ASSERT_TRUE(WriteFileAtomic(path, "round " + std::to_string(round), owner)) << path;
                    EXPECT_EQ(ReadAll(path), "round " + std::to_string(round));
                }
            }
            EXPECT_EQ(ReadAll(a + ".tmp"), "the user's own");
            EXPECT_EQ(ReadAll(b + ".tmp/inside"), "kept");
            EXPECT_TRUE(fs::is_symlink(c + ".tmp"));
            EXPECT_EQ(ReadAll(folder.File("elsewhere")), "linked to");
            EXPECT_EQ(Listing(), (std::set<std::string>{"a.csv", "a.csv.tmp", "b.xml", "b.xml.tmp", "c.ini",
                                                        "c.ini.tmp"}));
        }
    }
}

TEST_F(Saves, TwoProgramsSavingOneFileAtOnceBothSucceed) {
    fs::create_directory(folder.File("out"));
    const std::string path = folder.File("out/Pacific.XML");
    for (bool unnamed : {true, false}) {
        for (FileOwner owner : {FileOwner::Program, FileOwner::User}) {
            SCOPED_TRACE(std::string(unnamed ? "unnamed" : "named") +
                         (owner == FileOwner::User ? ", a file the user chose" : ", the program's own file"));
            SetUnnamedTempFiles(unnamed);
            const std::string texts[] = {std::string(100000, 'a'), std::string(70000, 'b')};
            pid_t children[2];
            for (int k = 0; k < 2; ++k) {
                children[k] = fork();
                ASSERT_GE(children[k], 0);
                if (children[k] == 0) {
                    int failed = 0;
                    for (int i = 0; i < 100; ++i) failed += !WriteFileAtomic(path, texts[k], owner);
                    _exit(failed > 0);
                }
            }
            for (pid_t child : children) {
                int status = 0;
                waitpid(child, &status, 0);
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
            }
            const std::string last = ReadAll(path);
            EXPECT_TRUE(last == texts[0] || last == texts[1]) << last.size();
            EXPECT_EQ(Listing(), std::set<std::string>{"Pacific.XML"});
        }
    }
}

TEST_F(Saves, AFileThatOnlyLooksLikeWhatAKilledSaveLeftIsKept) {
    // Empty and without permissions, as a save killed right after making its
    // file leaves it: still someone else's, since no save of ours recorded it.
    SetUnnamedTempFiles(false);
    fs::create_directory(folder.File("out"));
    const std::string own = folder.File("out/own.xml"), chosen = folder.File("out/chosen.csv");
    for (const std::string& path : {own, chosen}) {
        WriteAll(path + ".tmp", "");
        fs::permissions(path + ".tmp", fs::perms::none);
    }
    ASSERT_TRUE(WriteFileAtomic(own, "x", FileOwner::Program));
    ASSERT_TRUE(WriteFileAtomic(chosen, "x", FileOwner::User));
    EXPECT_EQ(Listing(), (std::set<std::string>{"chosen.csv", "chosen.csv.tmp", "own.xml", "own.xml.tmp"}));
    // A record naming another file (torn, merged or edited by hand) removes
    // nothing, and a lock file that is another name of a file is not written.
    const std::string lock = folder.File("out/.tallyvane.lock");
    WriteAll(lock, std::string("own.xml\0chosen.csv\0", 19));
    ASSERT_TRUE(WriteFileAtomic(own, "y", FileOwner::Program));
    fs::remove(lock);
    fs::create_hard_link(chosen, lock);
    ASSERT_TRUE(WriteFileAtomic(own, "z", FileOwner::Program));
    EXPECT_EQ(ReadAll(chosen), "x");
}
