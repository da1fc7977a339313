// Saves beside files the program did not make, and saves of one file by two
// programs at once: nothing but the target may change, and every save must
// land whole.
#include "platform/sysutils.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
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
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.File("out"))) names.insert(entry.path().filename());
        return names;
    }
};
}  // namespace

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

TEST_F(Saves, OnlyWhatASaveOfTheProgramsOwnLeftBehindIsReplaced) {
    // A save killed right after making its file leaves it empty and without
    // permissions; anything else may be someone's.
    SetUnnamedTempFiles(false);
    fs::create_directory(folder.File("out"));
    const std::string own = folder.File("out/own.xml"), chosen = folder.File("out/chosen.csv");
    const std::string empty = folder.File("out/empty.xml");
    for (const std::string& path : {own, chosen}) {
        WriteAll(path + ".tmp", "");
        fs::permissions(path + ".tmp", fs::perms::none);
    }
    WriteAll(empty + ".tmp", "");
    ASSERT_TRUE(WriteFileAtomic(own, "x", FileOwner::Program));
    ASSERT_TRUE(WriteFileAtomic(chosen, "x", FileOwner::User));
    ASSERT_TRUE(WriteFileAtomic(empty, "x", FileOwner::Program));
    EXPECT_EQ(Listing(), (std::set<std::string>{"chosen.csv", "chosen.csv.tmp", "empty.xml", "empty.xml.tmp",
                                                "own.xml"}));
}
