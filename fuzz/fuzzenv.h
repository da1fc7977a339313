// What every fuzz target shares: message boxes answered by the scripted
// responder (so nothing blocks) and a scratch program folder in memory.
#pragma once

#include "support/fakedialogs.h"
#include "platform/sysutils.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sanitizer/allocator_interface.h>
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

// The most heap that work held at once beyond what was held before it, as the
// sanitizer's allocator counts what was asked for. Not reentrant.
template <class Work>
long long HeapPeak(Work&& work) {
    static long long live = 0, peak = 0;
    static bool counting = false;
    static const bool hooked = __sanitizer_install_malloc_and_free_hooks(
        [](const volatile void*, size_t size) {
            if (counting && (live += static_cast<long long>(size)) > peak) peak = live;
        },
        [](const volatile void* p) {
            if (counting && p) live -= static_cast<long long>(__sanitizer_get_allocated_size(const_cast<const void*>(p)));
        });
    if (!hooked) return 0;
    live = peak = 0;
    counting = true;
    work();
    counting = false;
    return peak;
}

// A finding when work held more heap than the bound.
template <class Work>
void WithinHeap(const char* what, size_t inputSize, long long bound, Work&& work) {
    const long long peak = HeapPeak(work);
    if (peak > bound) {
        std::fprintf(stderr, "%s held %lld bytes of heap for %zu bytes of input (bound %lld)\n", what, peak,
                     inputSize, bound);
        std::abort();
    }
}

}  // namespace fuzzenv
