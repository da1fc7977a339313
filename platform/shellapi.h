// Starting programs and opening documents and addresses. Addresses and
// documents go to the desktop's opener; a bare program name ("calc.exe") is
// looked up beside the running program, then on PATH, with and without ".exe".
// Nothing goes through a shell command line: names and parameters come from
// data and INI files and are passed to the new process as they are.
#pragma once

#include <string>
#include <vector>

// How to show the new window. Linux gives a launcher no say in that, so the
// value is accepted and ignored.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = SW_SHOWNORMAL;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWMINNOACTIVE = 7;

// Results at or below 32 mean nothing was started.
constexpr int SE_ERR_FNF = 2;        // no such program, document or folder; or it could not be started
constexpr int SE_ERR_NOASSOC = 31;   // a verb other than opening
constexpr int SHELL_LAUNCHED = 42;

// Verb null, "" or "open" (and "explore" for folders) opens; parameters, when
// not empty, reach a program as one argument; directory, when it names a
// folder, is the program's working folder. Failures are not reported.
int ShellExecuteA(void* parent, const char* verb, const char* file, const char* parameters,
                  const char* directory, int showCmd);

// What a launch would run, found without starting anything.
struct ShellCommand {
    std::string program;                 // a resolved path, or the opener's name (found on PATH)
    std::vector<std::string> arguments;  // after the program name
    bool opener = false;                 // the desktop's opener handles the file
    bool Empty() const { return program.empty(); }
};
// Empty when the file is neither an address, an existing document or folder,
// nor a program found beside the running program or on PATH.
ShellCommand ResolveShellCommand(const std::string& file, const std::string& parameters,
                                 const std::string& directory = std::string());
// The desktop's opener, run with the address or document as its one argument.
const char* ShellOpener();

// Where launches go: the real one starts processes; tests install one of their own.
class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    virtual int Launch(const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& directory) = 0;
};
// Installs a launcher and returns the previous one (null restores the real one).
ShellLauncher* SetShellLauncher(ShellLauncher* launcher);
