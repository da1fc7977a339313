// Start-up to the main window shown with both sources loaded, beside a bare
// MDI window made with the toolkit alone; both measured as whole processes.
#include "mainwin/main.h"
#include "mainwin/startup.h"
#include "platform/sysutils.h"

#include "benchfiles.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>

#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdlib.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {
std::string self;
std::string folder;
std::string crowded;  // a program folder whose layout file reopens 1,000 windows

// withText: a one-item menu bar, so the font system starts as it must for
// any window that shows text.
int BareWindow(bool withText) {
    int argc = 1;
    char name[] = "bare";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QMdiArea(&window));
    if (withText) window.menuBar()->addMenu("&File");
    window.show();
    QApplication::processEvents();
    _exit(0);
}

int Tallyvane(const std::string& programFolder) {
    SetProgramFolder(programFolder);
    TApplication application;
    CreateApplicationForms();
    MainForm->Show();  // the start-up sequence runs here
    QApplication::processEvents();
    _exit(0);  // measured up to the shown window; nothing is saved
}

void Run(benchmark::State& state, const char* mode) {
    for (auto _ : state) {
        pid_t pid;
        std::string m = mode;
        char* argv[] = {self.data(), m.data(), folder.data(), nullptr};
        if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("cannot start");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

void BareMdiWindow(benchmark::State& state) { Run(state, "--bare"); }
void TallyvaneWithThousandWindows(benchmark::State& state) {
    std::swap(folder, crowded);
    Run(state, "--tallyvane");
    std::swap(folder, crowded);
}
void BareMdiWindowWithMenu(benchmark::State& state) { Run(state, "--bare-menu"); }
void TallyvaneMainWindow(benchmark::State& state) { Run(state, "--tallyvane"); }
BENCHMARK(BareMdiWindow)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BareMdiWindowWithMenu)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(TallyvaneMainWindow)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(TallyvaneWithThousandWindows)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--bare") return BareWindow(false);
    if (argc >= 2 && std::string(argv[1]) == "--bare-menu") return BareWindow(true);
    if (argc >= 3 && std::string(argv[1]) == "--tallyvane") return Tallyvane(argv[2]);
    self = std::filesystem::canonical("/proc/self/exe").string();
    folder = bench::TempProgramFolder("tallyvane-start");
    bench::CopyShipped(folder, {"IMF.XML", "Pacific.XML"});
    std::ofstream(folder + "/tallyvane2.ini") << "[Program]\r\nReadAbout=1\r\n";
    crowded = bench::TempProgramFolder("tallyvane-start");
    std::filesystem::copy(folder, crowded, std::filesystem::copy_options::recursive);
    {
        std::ofstream layout(crowded + "/data/windowSettings.xml", std::ios::binary);
        layout << "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<WINDOWS>\r\n";
        for (int i = 0; i < 1000; ++i)
            layout << "  <WINDOW>\r\n    <TYPE>World</TYPE>\r\n    <VALUE>" << i << "</VALUE>\r\n    <LEFTSET>" << i % 7
                   << "</LEFTSET>\r\n    <RIGHTSET>" << i % 5 << "</RIGHTSET>\r\n    <LEFT>" << (i * 13) % 600
                   << "</LEFT>\r\n    <TOP>" << (i * 7) % 400
                   << "</TOP>\r\n    <WIDTH>-1</WIDTH>\r\n    <HEIGHT>-1</HEIGHT>\r\n    <STATE>0</STATE>\r\n  </WINDOW>\r\n";
        layout << "</WINDOWS>\r\n";
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(crowded);
    return 0;
}
