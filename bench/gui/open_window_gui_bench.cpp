// Opening the criteria window on a company with N criteria in the Qt toolkit, timed from the
// menu command until the grid has been painted for the first time, beside two baselines in the
// same run: the headless open of the same database (the models alone), and the same widgets
// made with plain Qt over the rows of a raw SQLite loop (what Qt itself costs).

#include <QAbstractTableModel>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <chrono>

#include "bench/criteria_database.h"
#include "bench/gui/plain_qt_window.h"
#include "bench/raw_sqlite.h"
#include "bench/window_session.h"
#include "gui/form_view.h"
#include "gui/host_window.h"
#include "gui/qt_toolkit.h"
#include "platform/ado/connection_string.h"
#include "window/criteria_statements.h"

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

// Runs the event loop until the grid in `window` has painted; false when it has not within a
// minute.
bool UntilGridPainted(QWidget* window) {
    auto* grid = window ? window->findChild<QTableView*>() : nullptr;
    if (!grid) return false;
    PaintCounter counter;
    grid->viewport()->installEventFilter(&counter);
    const auto limit = Clock::now() + std::chrono::minutes(1);
    while (counter.paints == 0 && Clock::now() < limit) QCoreApplication::processEvents();
    grid->viewport()->removeEventFilter(&counter);
    return counter.paints > 0;
}

// The host's window area at the host's size and with its icon, shown before a window opens in it.
void ShowArea(QMdiArea& area) {
    area.setWindowIcon(gui::ProductIcon());
    area.resize(900, 700);
    area.show();
}

// Has the Qt toolkit show the session's windows in `area`, and opens one window before the timing.
QuietQtToolkit& ShowSessionIn(bench::WindowSession& session, QMdiArea& area) {
    ShowArea(area);
    auto owned = std::make_unique<QuietQtToolkit>(&area, session.Driver().Headless());
    auto& toolkit = *owned;
    session.ShowIn(std::move(owned));
    WarmUp(session);
    return toolkit;
}

void OpenWindowQt(benchmark::State& state) {
    const int criteria = static_cast<int>(state.range(0));
    bench::WindowSession session(ado::SqliteConnectionString(bench::CriteriaDatabase(criteria)));
    QMdiArea area;
    auto& toolkit = ShowSessionIn(session, area);
    for (auto _ : state) {
        const auto start = Clock::now();
        session.Open();
        if (!UntilGridPainted(toolkit.ViewOf(session.Window()))) {
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

// The rows of the criteria query as text, shown by a plain table model in the grid's columns:
// priority, type and description.
class RawLines : public QAbstractTableModel {
  public:
    RawLines(std::vector<std::vector<std::string>> rows, QStringList captions)
        : rows_(std::move(rows)), captions_(std::move(captions)) {}
    static constexpr size_t kShown[] = {3, 2, 4};  // of MGA0_QUINTAB's columns, in its order
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(captions_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole) return {};
        const auto& row = rows_[static_cast<size_t>(index.row())];
        auto column = static_cast<size_t>(index.column());
        return column < std::size(kShown) ? QString::fromStdString(row.at(kShown[column]))
                                          : QString();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
        return captions_.value(section);
    }

  private:
    std::vector<std::vector<std::string>> rows_;
    QStringList captions_;
};

void OpenWindowPlainQt(benchmark::State& state) {
    const int criteria = static_cast<int>(state.range(0));
    const std::string file = bench::CriteriaDatabase(criteria);
    QMdiArea area;
    // The product's window written down once: its widgets, size and grid captions.
    bench::WidgetSketch sketch;
    QSize size;
    {
        bench::WindowSession session(ado::SqliteConnectionString(file));
        auto& toolkit = ShowSessionIn(session, area);
        session.Open();
        QWidget* view = toolkit.ViewOf(session.Window());
        if (!UntilGridPainted(view)) return state.SkipWithError("the grid was not painted");
        sketch = bench::Sketch(*view);
        size = view->parentWidget()->size();
        session.Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QStringList captions;
    for (const auto& s : sketch.parts)
        if (s.kind == bench::WidgetSketch::Kind::Table) captions = s.entries;
    const std::string query = dravel::CriteriaQuery(com::Variant(1), ado::Dialect::Sqlite);
    bench::RawDatabase host(file);
    for (auto _ : state) {
        const auto start = Clock::now();
        if (host.ReadAll(bench::kCompanyQuery) != 1) state.SkipWithError("no company");
        auto lines = std::make_unique<RawLines>(bench::RawDatabase(file).Rows(query), captions);
        QWidget* view = bench::Build(sketch, lines.get());
        QMdiSubWindow* sub = area.addSubWindow(view);
        sub->resize(size);
        sub->show();
        if (!UntilGridPainted(view)) {
            state.SkipWithError("the grid was not painted");
            break;
        }
        state.SetIterationTime(Seconds(Clock::now() - start));
        if (lines->rowCount({}) != criteria) state.SkipWithError("wrong number of lines");
        delete sub;
    }
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
BENCHMARK(OpenWindowPlainQt)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(99999)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
