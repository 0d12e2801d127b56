#include "bench/window_actions.h"

#include "bench/window_session.h"

namespace bench {

namespace {

constexpr int16_t kUp = 0;
constexpr int16_t kDown = 1;

}  // namespace

void TimeOpenWindow(benchmark::State& state, const std::string& connectionString) {
    int criteria = static_cast<int>(state.range(0));
    WindowSession session(connectionString);
    for (auto _ : state) {
        session.Open();
        if (session.GridLineCount() != criteria) state.SkipWithError("wrong number of lines");
        if (session.GridCells(1).empty()) state.SkipWithError("no line shown");
        session.Close();
    }
    session.FailOnTrouble(state);
    state.SetItemsProcessed(state.iterations() * criteria);
}

void TimeSaveCriterion(benchmark::State& state, const std::string& connectionString,
                       const Probe& probe) {
    WindowSession session(connectionString);
    session.OpenOnLine(probe.line);
    size_t saves = 0;
    for (auto _ : state) {
        session.Driver().Type(session.Window(), "TXT_DESCR", kDescriptions[saves++ % 2]);
        session.Driver().Press(session.Window(), "INTERNAV", "Conferma");
        // The grid read as a user sees it: its lines are drawn when first looked at.
        if (session.GridCells(probe.line).empty()) state.SkipWithError("no line shown");
        if (session.CurrentGridLine() != probe.line) state.SkipWithError("the frame moved");
    }
    if (saves > 0 && session.Text("TXT_DESCR") != kDescriptions[(saves - 1) % 2])
        state.SkipWithError("the description was not saved");
    session.FailOnTrouble(state);
    session.Close();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void TimeDeleteCriterion(benchmark::State& state, const std::string& connectionString,
                         const Probe& probe) {
    WindowSession session(connectionString);
    session.OpenOnLine(probe.line);
    int32_t left = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        session.Driver().Press(session.Window(), "INTERNAV", "Elimina");
        if (session.GridLineCount() != --left) state.SkipWithError("no row deleted");
        if (session.GridCells(probe.line).empty()) state.SkipWithError("no line shown");
        if (session.CurrentGridLine() != probe.line) state.SkipWithError("the frame moved");
    }
    session.FailOnTrouble(state);
    session.Close();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void TimeMoveCriterion(benchmark::State& state, const std::string& connectionString,
                       const Probe& probe) {
    WindowSession session(connectionString);
    session.OpenOnLine(probe.line);
    auto& driver = session.Driver();
    for (auto _ : state) {
        driver.PressToolbar(session.Window(), "TBAR_PRIORITY", kDown);
        if (session.GridCells(probe.line).empty()) state.SkipWithError("no line shown");
        if (session.CurrentGridLine() != probe.line + 1) state.SkipWithError("no move down");
        driver.PressToolbar(session.Window(), "TBAR_PRIORITY", kUp);
        if (session.GridCells(probe.line).empty()) state.SkipWithError("no line shown");
        if (session.CurrentGridLine() != probe.line) state.SkipWithError("no move up");
    }
    session.FailOnTrouble(state);
    session.Close();
    state.SetItemsProcessed(state.iterations() * kMoves * state.range(0));
    state.counters["moves"] = kMoves;
}

}  // namespace bench
