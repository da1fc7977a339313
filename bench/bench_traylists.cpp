// Showing the tray converter, whose two lists hold every offered currency,
// with a rate file of 100,000 currencies, all offered.
#include "platform/sysutils.h"
#include "pocketvane/converterwin.h"
#include "pocketvane/traymain.h"
#include "pocketvane/traystartup.h"

#include "benchfiles.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <filesystem>
#include <fstream>
#include <stdlib.h>

namespace {
void TrayConverter(benchmark::State& state) {
    for (auto _ : state) {
        TrayMainForm->ShowConverter();  // the lists are filled as it shows
        QApplication::processEvents();
        state.PauseTiming();
        TrayMainForm->HideConverter();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(TrayConverter)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

int main(int argc, char** argv) {
    const std::string folder = bench::TempProgramFolder("pocketvane-lists");
    bench::WriteLargeRateFile(folder + "/data/Pacific.XML", 100000, 0);
    std::ofstream(folder + "/tallyvane2.ini") << "[Currency]\r\nSource=0\r\n";
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SetProgramFolder(folder);
    TApplication application;
    CreateTrayForms();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(folder);
    _exit(0);
}
