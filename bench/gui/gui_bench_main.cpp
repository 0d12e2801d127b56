// dravel-bench-gui: the benchmarks of the Qt window, drawn offscreen, and for each size the
// ratio of the Qt open to the headless one.

#include <QApplication>
#include <cstdlib>

#include "bench/ratio_reporter.h"

int main(int argc, char** argv) {
    // Set before the application exists: the windows are drawn into memory, with no display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    return bench::RunWithRatios(
        argc, argv, {{"OpenWindowQt", "OpenWindowHeadless", "Qt open / headless open"}});
}
