// What every fuzz target shares: message boxes answered by the scripted
// responder (so nothing blocks) and a scratch program folder in memory.
#pragma once

#include "platform/dialogs.h"
#include "platform/sysutils.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzzenv {

inline ScriptedResponder& Responder() {
    static ScriptedResponder* responder = new ScriptedResponder();
    responder->Clear();
    return *responder;
}

// A program folder under /dev/shm (or /tmp), made once per process.
inline const std::string& Folder() {
    static std::string folder = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string path = base + "/tallyvane-fuzz-" + std::to_string(getpid());
        mkdir(path.c_str(), 0700);
        mkdir((path + "/data").c_str(), 0700);
        SetProgramFolder(path);
        return path;
    }();
    return folder;
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace fuzzenv
