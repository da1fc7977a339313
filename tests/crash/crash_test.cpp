// Kills a program in the middle of saving, again and again: every file must
// then hold one whole round of writing, never an empty or cut file, and no
// temporary file may pile up beside them.
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <random>
#include <regex>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
// The round numbers a file holds; one round means the file is whole.
std::set<int> Rounds(const std::string& text, const std::regex& pattern) {
    std::set<int> rounds;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it)
        rounds.insert(std::stoi((*it)[1]));
    return rounds;
}

// The files in a folder, by name.
std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

bool Within(const std::set<std::string>& names, const std::set<std::string>& allowed) {
    return std::includes(allowed.begin(), allowed.end(), names.begin(), names.end());
}

// Each run of the writer is killed at a random moment; every file must then
// be whole, at most one temporary file per target may be left, and a file
// the program did not make stays.
void KillWhileSaving(const char* mode) {
    TempFolder folder;
    std::system(("mkdir -p " + folder.File("data")).c_str());
    WriteAll(folder.File("data/Pacific.XML"),
             "<CURRSOURCE><NAME>P</NAME>"
             "<CURRENCY><NAME>A</NAME><VALUE TYPE=\"PER_UNIT\">1</VALUE><SELECTED>YES</SELECTED></CURRENCY>"
             "<CURRENCY><NAME>B</NAME><VALUE TYPE=\"PER_UNIT\">1</VALUE><SELECTED>YES</SELECTED></CURRENCY>"
             "<CURRENCY><NAME>C</NAME><VALUE TYPE=\"PER_UNIT\">1</VALUE><SELECTED>YES</SELECTED></CURRENCY>"
             "</CURRSOURCE>");
    const std::regex value("<VALUE TYPE=\"PER_UNIT\">([0-9]+)</VALUE>");
    const std::regex port("\r\nPort=([0-9]+)\r\n");
    const std::regex iniTemp("tallyvane2\\.ini\\.[A-Za-z0-9]{6}\\.tmp");
    WriteAll(folder.File("tallyvane2.ini.tmp"), "the user's own");
    std::mt19937 random(12345);
    int lastRates = 0, lastPort = 0, kills = 0;  // each start writes from round 1 again
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    while (kills < 100) {
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string writer = CRASH_WRITER, dir = folder.Path(), how = mode;
        char* argv[] = {writer.data(), dir.data(), how.data(), nullptr};
        pid_t pid;
        ASSERT_EQ(posix_spawn(&pid, writer.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char ready[16];
        ASSERT_GT(read(out[0], ready, sizeof ready), 0);  // the first round is written
        close(out[0]);
        usleep(std::uniform_int_distribution<int>(0, 30000)(random));
        kill(pid, SIGKILL);
        int status;
        waitpid(pid, &status, 0);
        ++kills;

        const std::string rates = ReadAll(folder.File("data/Pacific.XML"));
        const std::string layout = ReadAll(folder.File("data/windowSettings.xml"));
        const std::string ini = ReadAll(folder.File("tallyvane2.ini"));
        std::set<int> rateRounds = Rounds(rates, value);
        ASSERT_EQ(rateRounds.size(), 1u) << rates;
        ASSERT_EQ(rates.substr(rates.size() - 15), "</CURRSOURCE>\r\n");
        ASSERT_EQ(std::count(rates.begin(), rates.end(), '\n'), 36) << rates;  // every line of the file
        ASSERT_EQ(layout.substr(layout.size() - 12), "</WINDOWS>\r\n");
        std::set<int> portRounds = Rounds(ini, port);
        ASSERT_EQ(portRounds.size(), 1u) << ini;
        ASSERT_NE(ini.find("checkOnStart="), std::string::npos);  // the last key: the file is whole
        // The user's own file is kept, so the settings' temporary file has a
        // name of its own, and still there is at most one of them.
        ASSERT_EQ(ReadAll(folder.File("tallyvane2.ini.tmp")), "the user's own");
        std::set<std::string> names = Listing(folder.Path());
        ASSERT_LE(std::count_if(names.begin(), names.end(),
                                [&](const std::string& name) { return std::regex_match(name, iniTemp); }),
                  1)
            << "after " << kills << " kills";
        std::erase_if(names, [&](const std::string& name) { return std::regex_match(name, iniTemp); });
        ASSERT_TRUE(Within(names, {".tallyvane.lock", "data", "tallyvane2.ini", "tallyvane2.ini.tmp"}))
            << "after " << kills << " kills";
        ASSERT_TRUE(Within(Listing(folder.File("data")), {".tallyvane.lock", "Pacific.XML", "Pacific.XML.tmp",
                                                          "windowSettings.xml", "windowSettings.xml.tmp"}))
            << "after " << kills << " kills";
        lastRates = std::max(lastRates, *rateRounds.begin());
        lastPort = std::max(lastPort, *portRounds.begin());
    }
    EXPECT_GT(lastRates, 1);  // kills did land in the middle of later rounds
    EXPECT_GT(lastPort, 1);
}
}  // namespace

TEST(CrashSafety, AKilledSaveLeavesEveryFileWholeAndNoLitter) { KillWhileSaving("unnamed"); }

TEST(CrashSafety, AKilledSaveLeavesNoLitterWithoutUnnamedTempFiles) { KillWhileSaving("named"); }
