#include "support/testenv.h"

#include "platform/sysutils.h"
#include "platform/winapi.h"

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <stdlib.h>
#include <vector>

extern char** environ;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void CopyShippedData(const std::string& folder, std::initializer_list<const char*> names) {
    std::filesystem::create_directories(folder + "/data");
    for (const char* name : names)
        WriteAll(folder + "/data/" + name, ReadAll(std::string(TV_SOURCE_DIR) + "/data/" + name));
}

InstalledProgram InstallProgram(const std::string& built, const std::string& folder) {
    namespace fs = std::filesystem;
    InstalledProgram installed{folder + "/" + fs::path(built).filename().string(), folder + "/runtime"};
    std::error_code ec;
    fs::create_hard_link(built, installed.program, ec);  // a copy only where a link cannot be made
    if (ec) fs::copy_file(built, installed.program);
    fs::create_directories(installed.runtime);
    fs::permissions(installed.runtime, fs::perms::owner_all);
    return installed;
}

int StartProgram(const std::string& program, const std::string& platform, const std::string& runtime,
                 const std::string& extraVariable) {
    std::vector<std::string> env{"QT_QPA_PLATFORM=" + platform, "XDG_RUNTIME_DIR=" + runtime};
    if (!extraVariable.empty()) env.push_back(extraVariable);
    for (char** e = environ; *e; ++e) {
        std::string var = *e;
        if (var.rfind("QT_QPA_PLATFORM=", 0) != 0 && var.rfind("XDG_RUNTIME_DIR=", 0) != 0) env.push_back(var);
    }
    std::vector<char*> envp;
    for (std::string& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, envp.data()) == 0 ? pid : 0;
}

bool LockHeldIn(const std::string& runtime, const char* name) {
    const char* mine = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = mine ? mine : "";
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    HANDLE probe = CreateMutexA(nullptr, false, name);
    const bool held = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(probe);
    if (mine) setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
    return held;
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("cannot make a temporary folder");
    path_ = made;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void ProgramFolderTest::SetUp() {
    std::filesystem::create_directory(folder.File("data"));
    SetProgramFolder(folder.Path());
    SetSystemDecimalSeparator('.');
    SetSystemThousandSeparator(',');
}

void ProgramFolderTest::TearDown() {
    SetSystemDecimalSeparator('.');
    SetSystemThousandSeparator(',');
}

void GuiTest::SetUp() {
    EnsureToolkit();
    app = std::make_unique<TApplication>();
}

void GuiTest::TearDown() {
    app.reset();
    QApplication::processEvents();
}
