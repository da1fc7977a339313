// A 200-row page of each source decoded into its source, with the shipped
// scraping settings: the work the GUI thread does when a page has arrived.
#include "currency/srcimf.h"
#include "currency/srcpacific.h"
#include "support/fakedialogs.h"
#include "platform/sysutils.h"
#include "update/srcimfupdate.h"
#include "update/srcpacificupdate.h"

#include "benchfiles.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdlib.h>
#include <string>

namespace {
constexpr int Rows = 200;

struct Folder {
    std::string path;
    Folder() {
        path = bench::TempProgramFolder("tallyvane-bench");
        SetProgramFolder(path);
        bench::CopyShipped(path, {"IMF.XML", "Pacific.XML", "IMF.INI", "Pacific.INI"});
    }
    ~Folder() { std::filesystem::remove_all(path); }
};

Folder& BenchFolder() {
    static Folder folder;
    return folder;
}

std::string Rate(int i) { return std::to_string(1 + i) + "." + std::to_string(1000 + i * 37 % 9000); }

std::string ImfPage() {
    std::string page =
        "<html>\r\n<head>\r\n<title>IMF -- Representative Exchange Rates for Selected Currencies</title>\r\n"
        "</head>\r\n<body>\r\n<H3>Exchange Rate Archives by Month</H3>\r\n"
        "<!-- END=/external/ssi/headerf.txt -->\r\n<h3>January 20, 2025</h3>\r\n<table border=1>\r\n";
    for (int i = 0; i < Rows; ++i)
        page += "<TR>\r\n<TD><font face=\"Arial\" size=2>Currency " + std::to_string(i) + "</font></TD>\r\n<TD>" +
                (i % 7 == 0 ? "(1)" : "&nbsp;") + "</TD>\r\n<TD align=right><font face=\"Arial\" size=2>" + Rate(i) +
                "</font></TD>\r\n</TR>\r\n";
    return page + "</table>\r\n<P><TABLE border=0><TR><TD>(1) U.S. dollars per currency unit.</TD></TR></TABLE>\r\n"
                  "</body>\r\n</html>\r\n";
}

std::string PacificPage() {
    std::string page =
        "<html>\r\n<head>\r\n<title>Rates as of January 20, 2025 at 12:00 UTC</title>\r\n</head>\r\n<body>\r\n"
        "<!-- Version 2.1 -->\r\n<table border=1>\r\n<tr lightskyblue><th>Code</th><th>Currency</th>"
        "<th>Units/CAD</th><th>CAD/Unit</th><th>Units/USD</th><th>USD/Unit</th></tr>\r\n";
    for (int i = 0; i < Rows; ++i)
        page += "<tr><td>C" + std::to_string(i % 100) + "</td><td>Currency " + std::to_string(i) +
                "</td><td>1.2345</td><td>0.8101</td><td><font color=\"#000080\">" + Rate(i) +
                "</font></td><td>0.5432</td></tr>\r\n";
    return page + "<tr><td align=center colspan=6>Rates for personal, non-commercial use.</td></tr>\r\n</table>\r\n"
                  "</body>\r\n</html>\r\n";
}

// Every box a decoder would show is answered at once; a good page shows none.
template <class Source, class Decoder>
void Decode(benchmark::State& state, const std::string& page) {
    BenchFolder();
    ScriptedResponder boxes;
    auto source = std::make_unique<Source>();
    Decoder(source.get()).Decode(page);  // the rows exist from now on, as after a first update
    for (auto _ : state) {
        Decoder decoder(source.get());
        decoder.Decode(page);
        benchmark::DoNotOptimize(decoder.Date);
    }
    if (!boxes.Texts().empty()) state.SkipWithError(boxes.Texts().front().c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void DecodeImfPage(benchmark::State& state) { Decode<Imf, ImfUpdate>(state, ImfPage()); }
void DecodePacificPage(benchmark::State& state) { Decode<Pacific, PacificUpdate>(state, PacificPage()); }
BENCHMARK(DecodeImfPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(DecodePacificPage)->Unit(benchmark::kMicrosecond);
}  // namespace

BENCHMARK_MAIN();
