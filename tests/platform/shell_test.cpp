#include "platform/classes.h"
#include "platform/shellapi.h"
#include "platform/sysutils.h"
#include "support/fakebackends.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
void MakeFile(const std::string& path, const std::string& text, mode_t mode) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteAll(path, text);
    chmod(path.c_str(), mode);
}

void MakeProgram(const std::string& path, const std::string& body = "exit 0\n") {
    MakeFile(path, "#!/bin/sh\n" + body, 0755);
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 1000; ++i) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// A program folder and two PATH folders of our own; PATH comes back afterwards.
class Shell : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        if (const char* p = std::getenv("PATH")) savedPath_ = p;
        pathA = folder.File("bin-a");
        pathB = folder.File("bin-b");
        std::filesystem::create_directories(pathA);
        std::filesystem::create_directories(pathB);
        setenv("PATH", (pathA + ":" + pathB).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath_.c_str(), 1);
        ProgramFolderTest::TearDown();
    }
    std::string pathA, pathB;

private:
    std::string savedPath_;
};

std::vector<std::string> Args(std::initializer_list<const char*> list) { return {list.begin(), list.end()}; }
}  // namespace

TEST_F(Shell, AddressesGoToTheOpenerAsTheyAre) {
    for (const std::string address :
         {"http://fx.example.org/rates?a=1;b=$(rm -rf ~)&c=`id`", "HTTPS://Example.org/", "ftp://h/f.txt",
          "file:///tmp/x.html", "mailto:someone@example.org?subject=Rates & more"}) {
        ShellCommand c = ResolveShellCommand(address, "ignored");
        EXPECT_TRUE(c.opener) << address;
        EXPECT_EQ(c.program, ShellOpener());
        EXPECT_EQ(c.arguments, std::vector<std::string>{address});
    }
    // Without a scheme it is a name like any other, and nothing has it.
    EXPECT_TRUE(ResolveShellCommand("www.example.org", "").Empty());
}

TEST_F(Shell, ProgramsAreFoundBesideTheProgramThenOnPathWithAndWithoutExe) {
    MakeProgram(folder.File("pocketvane"));
    MakeProgram(pathA + "/pocketvane");  // the program folder wins
    MakeProgram(pathB + "/calc");
    MakeProgram(pathA + "/tool.exe");
    MakeFile(pathA + "/notes", "#!/bin/sh\n", 0644);                   // not executable
    MakeFile(pathA + "/page.exe", "<html></html>", 0755);              // executable bit, not a program
    MakeFile(pathB + "/page", "<html>second</html>", 0755);

    EXPECT_EQ(ResolveShellCommand("pocketvane.exe", "").program, folder.File("pocketvane"));
    EXPECT_EQ(ResolveShellCommand("pocketvane", "").program, folder.File("pocketvane"));
    EXPECT_EQ(ResolveShellCommand("calc.exe", "").program, pathB + "/calc");
    EXPECT_EQ(ResolveShellCommand("tool", "").program, pathA + "/tool.exe");
    EXPECT_TRUE(ResolveShellCommand("notes", "").Empty());
    EXPECT_TRUE(ResolveShellCommand("page.exe", "").Empty());

    // Parameters reach the program as one argument, shell characters and all.
    ShellCommand c = ResolveShellCommand("calc.exe", "-x 1; rm \"$HOME\"");
    EXPECT_FALSE(c.opener);
    EXPECT_EQ(c.arguments, Args({"-x 1; rm \"$HOME\""}));
    EXPECT_TRUE(ResolveShellCommand("calc.exe", "").arguments.empty());

    // Not found anywhere: a failed launch, and nobody is told.
    EXPECT_TRUE(ResolveShellCommand("nosuchprogram.exe", "").Empty());
    EXPECT_LE(ShellExecuteA(nullptr, "open", "nosuchprogram.exe", "", nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(Shell, DocumentsAndFoldersGoToTheOpener) {
    // An executable bit on a manual does not make it a program.
    MakeFile(folder.File("manual/index.html"), "<html></html>", 0755);
    const std::string manual = folder.File("manual/index.html");
    EXPECT_EQ(ResolveShellCommand(manual, "").program, ShellOpener());
    EXPECT_EQ(ResolveShellCommand(manual, "").arguments, std::vector<std::string>{manual});
    EXPECT_EQ(ResolveShellCommand(folder.File("manual"), "").arguments, Args({folder.File("manual").c_str()}));
    // A relative name is taken in the given folder.
    EXPECT_EQ(ResolveShellCommand("manual/index.html", "", folder.Path()).arguments, std::vector<std::string>{manual});
    EXPECT_EQ(ResolveShellCommand("index.html", "", folder.File("manual")).arguments, std::vector<std::string>{manual});
    EXPECT_TRUE(ResolveShellCommand(folder.File("manual/missing.html"), "").Empty());
    // Only opening is offered.
    EXPECT_EQ(ShellExecuteA(nullptr, "print", manual.c_str(), nullptr, nullptr, SW_SHOWNORMAL), SE_ERR_NOASSOC);
}

TEST_F(Shell, TheRecorderRecordsLaunchesInsteadOfStartingThem) {
    const std::string marker = folder.File("launched.txt");
    MakeProgram(folder.File("marker"), "echo ran > '" + marker + "'\n");
    ShellLaunchRecorder outer;
    {
        ShellLaunchRecorder recorder;
        EXPECT_GT(ShellExecuteA(nullptr, "open", "marker.exe", "-q", "/tmp", SW_SHOWNORMAL), 32);
        EXPECT_GT(ShellExecuteA(nullptr, nullptr, "http://fx.example.org/", nullptr, nullptr, SW_SHOWNORMAL), 32);
        EXPECT_GT(ShellExecuteA(nullptr, "open", "calc.exe", "", nullptr, SW_SHOWNORMAL), 32);  // not installed
        ASSERT_EQ(recorder.Launches().size(), 3u);
        const ShellLaunchRecorder::Launched& first = recorder.Launches()[0];
        EXPECT_EQ(first.verb, "open");
        EXPECT_EQ(first.file, "marker.exe");
        EXPECT_EQ(first.parameters, "-q");
        EXPECT_EQ(first.directory, "/tmp");
        EXPECT_EQ(recorder.Launches()[1].verb, "");
        EXPECT_EQ(recorder.Files(), Args({"marker.exe", "http://fx.example.org/", "calc.exe"}));
    }
    ShellExecuteA(nullptr, "open", "after.exe", nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_EQ(outer.Files(), Args({"after.exe"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(FileExists(marker));
}

TEST_F(Shell, StartsARealProgramDetachedWithItsParameterFolderAndNoInheritedFiles) {
    // A descriptor a careless launcher would hand on to the child.
    int inherited = open("/dev/null", O_RDONLY);
    ASSERT_GE(inherited, 3);
    const std::string out = folder.File("launched.txt");
    MakeProgram(folder.File("marker"),
                "fd=closed; [ -e /proc/$$/fd/" + std::to_string(inherited) + " ] && fd=open\n"
                "printf '%s\\n%s\\n%s\\n%s\\n' \"$$\" \"$1\" \"$(pwd)\" \"$fd\" > '" + out + ".tmp'\n"
                "/bin/mv '" + out + ".tmp' '" + out + "'\n");
    const std::string parameter = "two words; $(touch hacked) `touch hacked` | & >x";
    const std::string data = folder.File("data");
    EXPECT_GT(ShellExecuteA(nullptr, "open", "marker.exe", parameter.c_str(), data.c_str(), SW_SHOWNORMAL), 32);
    close(inherited);

    ASSERT_TRUE(WaitUntil([&] { return FileExists(out); }));
    TStringList lines;
    lines.LoadFromFile(out);
    ASSERT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines[1], parameter);
    EXPECT_EQ(lines[2], data);
    EXPECT_EQ(lines[3], "closed");
    EXPECT_FALSE(FileExists(data + "/hacked"));
    EXPECT_FALSE(FileExists(folder.File("hacked")));
    // Once it has ended it is reaped: no zombie stays behind.
    const std::string proc = "/proc/" + lines[0];
    EXPECT_TRUE(WaitUntil([&] { return !DirectoryExists(proc); })) << ReadAll(proc + "/stat");
}
