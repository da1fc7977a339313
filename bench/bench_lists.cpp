// Opening the main program's windows whose lists hold every offered currency
// (or every named pair), with a rate file of 100,000 currencies and as many
// pairs, all offered. Each window is opened as its action opens it, shown,
// and closed again outside the measured time. Each should open within a
// second: its lists are filled in n log n, never one sorted insertion each.
#include "currency/currsource.h"
#include "mainwin/main.h"
#include "mainwin/startup.h"
#include "platform/sysutils.h"
#include "windows/preferredsetwin.h"
#include "windows/rateswin.h"

#include "benchfiles.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdlib.h>

namespace {
constexpr unsigned kCurrencies = 100000;
constexpr unsigned kPairs = 100000;

// Runs open() once per iteration; the window it opened is closed untimed.
void OpenAndClose(benchmark::State& state, const std::function<void()>& open, const std::function<void()>& close) {
    for (auto _ : state) {
        open();
        QApplication::processEvents();  // shown and painted
        state.PauseTiming();
        close();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void CloseChildren() { MainForm->CloseAllWindows(); }

void WorldWindow(benchmark::State& state) {
    OpenAndClose(state, [] { MainForm->DialogWorld->Execute(); }, CloseChildren);
}
void PreferredWindow(benchmark::State& state) {
    OpenAndClose(state, [] { MainForm->DialogPreferred->Execute(); }, CloseChildren);
}
void CrossRatesWindow(benchmark::State& state) {
    OpenAndClose(state, [] { MainForm->DialogCross->Execute(); }, CloseChildren);
}
void RatesWindow(benchmark::State& state) {
    OpenAndClose(state, [] { MainForm->DialogRates->Execute(); }, CloseChildren);
}
// The rates window lists the unselected currencies too, under a filter: one
// in ten offered, so its all-currencies list holds 90,000 rows. Each filter
// keystroke should answer within a tenth of a second.
void OfferOneInTen(bool oneInTen) {
    unsigned i = 0;
    for (CurrItr it = MainForm->CurrentSource->GetCurrencies(); it.HasNext(); ++i)
        it.Next()->SetSelected(!oneInTen || i % 10 == 0);
}
void RatesWindowOneInTenOffered(benchmark::State& state) {
    OfferOneInTen(true);
    OpenAndClose(state, [] { MainForm->DialogRates->Execute(); }, CloseChildren);
    OfferOneInTen(false);
}
// Types "ka" into the filter and deletes it again, one keystroke at a time:
// the list narrows twice, then widens back to every unselected currency.
void RatesFilterKeystroke(benchmark::State& state) {
    OfferOneInTen(true);
    TRatesForm* window = MainForm->OpenRatesWindow();
    QApplication::processEvents();
    const char* const texts[] = {"k", "ka", "k", ""};
    size_t n = 0;
    double slowest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        window->FilterEdit->SetText(texts[n++ % 4]);
        QApplication::processEvents();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        slowest = std::max(slowest, took.count());
    }
    state.counters["slowest_ms"] = slowest;
    CloseChildren();
    QApplication::processEvents();
    OfferOneInTen(false);
}
// The pair editor is modal; its lists are filled by Load before it shows.
void PairEditor(benchmark::State& state) {
    OpenAndClose(
        state,
        [] {
            PrefSetForm->Load(MainForm->CurrentSource);
            PrefSetForm->Show();
        },
        [] { PrefSetForm->Hide(); });
}
BENCHMARK(WorldWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PreferredWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CrossRatesWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RatesWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RatesWindowOneInTenOffered)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RatesFilterKeystroke)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(PairEditor)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

int main(int argc, char** argv) {
    const std::string folder = bench::TempProgramFolder("tallyvane-lists");
    bench::WriteLargeRateFile(folder + "/data/Pacific.XML", kCurrencies, kPairs);
    bench::CopyShipped(folder, {"IMF.XML"});
    std::ofstream(folder + "/tallyvane2.ini") << "[Program]\r\nReadAbout=1\r\nShowSplash=0\r\n";
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SetProgramFolder(folder);
    TApplication application;
    CreateApplicationForms();
    MainForm->Show();  // both sources loaded
    QApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(folder);
    _exit(0);  // nothing is saved, and the lists need not be taken down
}
