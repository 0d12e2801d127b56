#pragma once
// The user's actions timed through the real window, on whatever database a connection string
// names: each benchmark program sets them beside its own raw baseline of the same statements.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/criteria_database.h"

namespace bench {

// The two descriptions a save alternates between, so that every save changes the row.
inline constexpr const char* kDescriptions[] = {"Categoria, Codice articolo",
                                                "Macrocategoria, Cliente"};
// A move down and a move back up per iteration, so that every iteration starts alike.
inline constexpr int kMoves = 2;

// Opening the window on company 1 with state.range(0) criteria and closing it again.
void TimeOpenWindow(benchmark::State& state, const std::string& connectionString);

// Saving a changed description of the probe's criterion, with the renumbering and the reload
// that follow.
void TimeSaveCriterion(benchmark::State& state, const std::string& connectionString,
                       const Probe& probe);

// Deleting the probe's criterion, which has no counter-account rows, and after it the one that
// takes its line each iteration, with the guard, the renumbering and the reload.
void TimeDeleteCriterion(benchmark::State& state, const std::string& connectionString,
                         const Probe& probe);

// Moving the probe's criterion down and back up with the priority toolbar.
void TimeMoveCriterion(benchmark::State& state, const std::string& connectionString,
                       const Probe& probe);

}  // namespace bench
