// Rate files of 1,000 currencies loaded and saved, and one amount converted.
#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdlib.h>

namespace {
struct Folder {
    std::string path;
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tallyvane-bench-XXXXXX").string();
        path = mkdtemp(pattern.data());
        std::filesystem::create_directory(path + "/data");
        SetProgramFolder(path);
        std::ofstream out(path + "/data/Pacific.XML", std::ios::binary);
        out << "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<CURRSOURCE>\r\n  <NAME>Bench</NAME>\r\n";
        for (int i = 0; i < 1000; ++i)
            out << "  <CURRENCY>\r\n    <NAME>Currency " << i << "</NAME>\r\n    <ISO>C" << i % 1000
                << "</ISO>\r\n    <DATE>January 16, 2025</DATE>\r\n    <VALUE TYPE=\"PER_UNIT\">" << 1.0 + i * 0.731
                << "</VALUE>\r\n    <SELECTED>YES</SELECTED>\r\n  </CURRENCY>\r\n\r\n";
        out << "</CURRSOURCE>\r\n";
    }
    ~Folder() { std::filesystem::remove_all(path); }
};
Folder& BenchFolder() {
    static Folder folder;
    return folder;
}
}  // namespace

static void LoadRateFile(benchmark::State& state) {
    BenchFolder();
    for (auto _ : state) {
        auto source = std::make_unique<Pacific>();
        benchmark::DoNotOptimize(source.get());
        state.PauseTiming();
        source.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(LoadRateFile)->Unit(benchmark::kMillisecond);

static void SaveRateFile(benchmark::State& state) {
    BenchFolder();
    for (auto _ : state) {
        state.PauseTiming();
        auto source = std::make_unique<Pacific>();
        state.ResumeTiming();
        source.reset();
    }
}
BENCHMARK(SaveRateFile)->Unit(benchmark::kMillisecond);

static void ConvertAmountText(benchmark::State& state) {
    BenchFolder();
    Pacific source;
    Settings* settings = Settings::Instance();
    settings->useThousand = true;
    const CurrencyItem* from = source.FindCurrency("Currency 17");
    const CurrencyItem* to = source.FindCurrency("Currency 912");
    for (auto _ : state) benchmark::DoNotOptimize(source.ConvertText("12,345.67", from, to));
}
BENCHMARK(ConvertAmountText);

BENCHMARK_MAIN();
