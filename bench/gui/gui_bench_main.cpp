// dravel-bench-gui: the benchmarks of the Qt window, drawn offscreen.

#include <benchmark/benchmark.h>
#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    // Set before the application exists: the windows are drawn into memory, with no display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
