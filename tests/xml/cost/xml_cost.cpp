// Reads one file through the XML reader in a process of its own and prints
// what that cost: "<peak bytes> <cpu seconds>", the peak being the growth of
// the resident memory while the parser and its tree lived. Measured from the
// system, so the test program keeps its sanitizers' own allocator.
#include "support/fakedialogs.h"
#include "xml/xmlparser.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {
long long StatusBytes(const std::string& key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + ":", 0) == 0) return std::stoll(line.substr(key.size() + 1)) * 1024;
    return -1;
}

double CpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    ScriptedResponder quiet;
    const long long before = StatusBytes("VmRSS");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    const double start = CpuSeconds();
    {
        XMLParser parser;
        parser.Parse(argv[1]);
        std::printf("%lld %.3f\n", StatusBytes("VmHWM") - before, CpuSeconds() - start);
    }
    return 0;
}
