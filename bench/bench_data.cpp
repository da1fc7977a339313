// Rate files of 1,000 currencies loaded and saved, one amount converted, and
// the XML reader on the inputs that once cost it gigabytes or minutes, or
// hundreds of bytes per element.
#include "currency/settings.h"
#include "currency/srcpacific.h"
#include "support/fakedialogs.h"
#include "platform/sysutils.h"
#include "xml/xmlparser.h"

#include "benchfiles.h"

#include <benchmark/benchmark.h>

#include <cstdio>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdlib.h>

namespace {
struct Folder {
    std::string path;
    Folder() {
        path = bench::TempProgramFolder("tallyvane-bench");
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

namespace {
std::string Numbered(const char* format, int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, i);
    return buf;
}

// Times the parse alone: the parser takes its text, so each round gets a
// copy made while the clock stands, and the tree is freed likewise.
void Read(benchmark::State& state, const std::string& text) {
    ScriptedResponder quiet;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = text;
        auto parser = std::make_unique<XMLParser>();
        state.ResumeTiming();
        benchmark::DoNotOptimize(parser->ParseText(std::move(copy)));
        state.PauseTiming();
        parser.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
}  // namespace

// A rate file of the given megabytes with its currencies 496 elements deep,
// as deep as the reader follows.
static void ReadDeepFile(benchmark::State& state) {
    std::string text = "<?xml version=\"1.0\"?>\r\n<CURRSOURCE>\r\n", closers;
    for (int i = 1; i <= 496; ++i) {
        text += Numbered("<N%03d>", i);
        closers = Numbered("</N%03d>", i) + closers;
    }
    for (int i = 0; text.size() < static_cast<size_t>(state.range(0)) << 20; ++i)
        text += "  <CURRENCY>\r\n    <NAME>Currency " + std::to_string(i) +
                "</NAME>\r\n    <VALUE TYPE=\"PER_UNIT\">1.5</VALUE>\r\n  </CURRENCY>\r\n";
    Read(state, text + closers + "</CURRSOURCE>\r\n");
}
BENCHMARK(ReadDeepFile)->Arg(2)->Arg(10)->Unit(benchmark::kMillisecond);

// 40,000 opening tags that never close, then 40,000 empty elements.
static void ReadUnclosedTags(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 40000; ++i) text += "<u>";
    for (int i = 0; i < 40000; ++i) text += "<c></c>";
    Read(state, text);
}
BENCHMARK(ReadUnclosedTags)->Unit(benchmark::kMillisecond);

// 100,000 distinct names opened inside each other, closed in the same order.
static void ReadWideNames(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += Numbered("<n%05d>", i);
    for (int i = 0; i < 100000; ++i) text += Numbered("</n%05d>", i);
    Read(state, text);
}
BENCHMARK(ReadWideNames)->Unit(benchmark::kMillisecond);

// 2 MB of nothing but tags: opening tags (0), empty elements (1), and opening
// tags followed by as many closing tags (2).
static void ReadOnlyTags(benchmark::State& state) {
    std::string text;
    if (state.range(0) == 2) {
        std::string closers;
        while (text.size() + closers.size() < (2u << 20)) text += "<a>", closers += "</a>";
        text += closers;
    }
    while (text.size() < (2u << 20)) text += state.range(0) == 0 ? "<a>" : "<a/>";
    Read(state, text);
}
BENCHMARK(ReadOnlyTags)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
