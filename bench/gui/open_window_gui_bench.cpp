// Opening the criteria window on a company with N criteria in the Qt toolkit, timed from the
// menu command until the grid has been painted for the first time, beside the headless open of
// the same database (the models alone) in the same run.

#include <QApplication>
#include <QMdiArea>
#include <QTableView>
#include <chrono>

#include "bench/criteria_database.h"
#include "bench/window_session.h"
#include "gui/form_view.h"
#include "gui/qt_toolkit.h"
#include "platform/ado/connection_string.h"

namespace {

using Clock = std::chrono::steady_clock;

// The Qt toolkit with its message boxes and beeps handed to the session's headless toolkit: a
// benchmark reports trouble instead of waiting for a click on a box nobody sees.
class QuietQtToolkit : public gui::QtToolkit {
  public:
    QuietQtToolkit(QMdiArea* area, ui::HeadlessToolkit& recorder)
        : QtToolkit(area), recorder_(recorder) {}
    int32_t MessageBox(const std::string& text, int32_t flags, const std::string& title) override {
        return recorder_.MessageBox(text, flags, title);
    }
    void Beep() override { recorder_.Beep(); }

  private:
    ui::HeadlessToolkit& recorder_;
};

// Counts the paint events of the widget it filters.
class PaintCounter : public QObject {
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// One open and close before the timing: what happens once per process (loading the module,
// the fonts, growing the heap) is not the open's, and neither benchmark pays it.
void WarmUp(bench::WindowSession& session) {
    session.Open();
    session.Close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs the event loop until the grid of the window just opened has painted; false when it has
// not within a minute.
bool UntilGridPainted(gui::QtToolkit& toolkit, ui::IForm& window) {
    auto* view = toolkit.ViewOf(window);
    auto* grid = view ? view->findChild<QTableView*>("QGRID") : nullptr;
    if (!grid) return false;
    PaintCounter counter;
    grid->viewport()->installEventFilter(&counter);
    const auto limit = Clock::now() + std::chrono::minutes(1);
    while (counter.paints == 0 && Clock::now() < limit) QCoreApplication::processEvents();
    grid->viewport()->removeEventFilter(&counter);
    return counter.paints > 0;
}

void OpenWindowQt(benchmark::State& state) {
    const int criteria = static_cast<int>(state.range(0));
    bench::WindowSession session(ado::SqliteConnectionString(bench::CriteriaDatabase(criteria)));
    // The host's window area at the host's size, shown before the window opens in it. Made after
    // the session, it goes before the toolkit: the toolkit's handler of the area's activations
    // would outlive the toolkit otherwise.
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    auto owned = std::make_unique<QuietQtToolkit>(&area, session.Driver().Headless());
    auto& toolkit = *owned;
    session.ShowIn(std::move(owned));
    WarmUp(session);
    for (auto _ : state) {
        const auto start = Clock::now();
        session.Open();
        if (!UntilGridPainted(toolkit, session.Window())) {
            state.SkipWithError("the grid was not painted");
            break;
        }
        state.SetIterationTime(Seconds(Clock::now() - start));
        if (session.GridLineCount() != criteria) state.SkipWithError("wrong number of lines");
        session.Close();
        // The closed window's widgets go now, not in some later iteration's time.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    session.FailOnTrouble(state);
    state.SetItemsProcessed(state.iterations() * criteria);
}

void OpenWindowHeadless(benchmark::State& state) {
    const int criteria = static_cast<int>(state.range(0));
    bench::WindowSession session(ado::SqliteConnectionString(bench::CriteriaDatabase(criteria)));
    WarmUp(session);
    for (auto _ : state) {
        const auto start = Clock::now();
        session.Open();
        // The lines drawn, as the Qt open draws them to paint the grid.
        if (session.GridCells(1).empty()) state.SkipWithError("no line shown");
        state.SetIterationTime(Seconds(Clock::now() - start));
        if (session.GridLineCount() != criteria) state.SkipWithError("wrong number of lines");
        session.Close();
    }
    session.FailOnTrouble(state);
    state.SetItemsProcessed(state.iterations() * criteria);
}

}  // namespace

BENCHMARK(OpenWindowHeadless)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(99999)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWindowQt)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(99999)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
