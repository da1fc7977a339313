#include "platform/shellapi.h"

#include "platform/sysutils.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {
std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

bool IsAddress(const std::string& file) {
    for (const char* scheme : {"http:", "https:", "ftp:", "file:", "mailto:"})
        if (StartsWithNoCase(file, scheme)) return true;
    return false;
}

// Something the kernel can run: executable, and a binary or a script with
// "#!". The execute bit alone is not enough: manuals copied from other
// systems often carry it.
bool IsProgramFile(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path.c_str(), X_OK) != 0) return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char head[4] = {};
    ssize_t n = read(fd, head, sizeof head);
    close(fd);
    return (n >= 2 && head[0] == '#' && head[1] == '!') || (n == 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0);
}

// The name as given and its twin with ".exe" added or removed.
std::vector<std::string> NameVariants(const std::string& name) {
    if (name.size() > 4 && SameText(name.substr(name.size() - 4), ".exe"))
        return {name, name.substr(0, name.size() - 4)};
    return {name, name + ".exe"};
}

std::vector<std::string> SearchFolders() {
    std::vector<std::string> folders{ProgramFolder()};
    const char* path = std::getenv("PATH");
    std::string list = path ? path : "";
    size_t start = 0;
    while (start < list.size()) {
        size_t end = std::min(list.find(':', start), list.size());
        // Empty entries would mean the current folder: a program name from
        // an INI file must not pick up whatever lies where we were started.
        if (end > start) folders.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

// A path made absolute against a folder (or the current one), so it still
// holds when the child starts in another working folder.
std::string Under(const std::string& folder, const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    if (!folder.empty() && folder[0] == '/') return folder + "/" + path;
    char cwd[PATH_MAX];
    std::string here = getcwd(cwd, sizeof cwd) ? cwd : ".";
    return here + "/" + (folder.empty() ? path : folder + "/" + path);
}

// Starts argv[0] with no shell in between and reaps it when it ends, so no
// zombie is left behind.
bool Spawn(const std::vector<std::string>& args, bool searchPath, const std::string& directory) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Our sockets and the single-instance lock must not live on in the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!directory.empty() && DirectoryExists(directory))
        posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);  // a program must not start with it ignored because we ignore it
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // Its own session: closing our terminal or ending us must not end it.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    pid_t pid = 0;
    int rc = searchPath ? posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ)
                        : posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

class RealLauncher : public ShellLauncher {
public:
    int Launch(const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory) override {
        if (!verb.empty() && !SameText(verb, "open") && !SameText(verb, "explore")) return SE_ERR_NOASSOC;
        ShellCommand command = ResolveShellCommand(file, parameters, directory);
        if (command.Empty()) return SE_ERR_FNF;
        std::vector<std::string> args{command.program};
        args.insert(args.end(), command.arguments.begin(), command.arguments.end());
        return Spawn(args, command.opener, directory) ? SHELL_LAUNCHED : SE_ERR_FNF;
    }
};

RealLauncher real;
ShellLauncher* current = &real;
}  // namespace

const char* ShellOpener() { return "xdg-open"; }

ShellCommand ResolveShellCommand(const std::string& file, const std::string& parameters,
                                 const std::string& directory) {
    ShellCommand command;
    if (file.empty()) return command;
    if (IsAddress(file)) {
        command.program = ShellOpener();
        command.arguments = {file};
        command.opener = true;
        return command;
    }

    std::vector<std::string> programs;
    if (file.find('/') == std::string::npos) {
        for (const std::string& folder : SearchFolders())
            for (const std::string& name : NameVariants(file)) programs.push_back(Under(folder, name));
    } else {
        for (const std::string& name : NameVariants(file)) programs.push_back(Under(directory, name));
    }
    for (const std::string& program : programs) {
        if (!IsProgramFile(program)) continue;
        command.program = program;
        if (!parameters.empty()) command.arguments = {parameters};
        return command;
    }

    std::string document = Under(directory, file);
    if (FileExists(document) || DirectoryExists(document)) {
        command.program = ShellOpener();
        command.arguments = {document};
        command.opener = true;
    }
    return command;
}

ShellLauncher* SetShellLauncher(ShellLauncher* launcher) {
    ShellLauncher* previous = current;
    current = launcher ? launcher : &real;
    return previous;
}

int ShellExecuteA(void*, const char* verb, const char* file, const char* parameters, const char* directory, int) {
    return current->Launch(Text(verb), Text(file), Text(parameters), Text(directory));
}
