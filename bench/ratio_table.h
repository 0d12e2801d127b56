#pragma once
// The product's time of each action beside its raw baseline's, as one table: the ratios, and
// how the times grow with the number of criteria.

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace bench {

// Milliseconds per benchmark function and number of criteria.
using Times = std::map<std::string, std::map<int, double>>;

// An action as the product does it (`timed`) and as raw calls do the same statements
// (`baseline`), by benchmark function name.
struct Action {
    std::string label, database, timed, baseline;
};

// Every action of the table, in its order.
const std::vector<Action>& Actions();

struct Ratio {
    const Action* action;
    int criteria;
    double timed, baseline;
    double Value() const { return timed / baseline; }
};

// The ratio of every action and size that both sides were measured for.
std::vector<Ratio> Ratios(const Times& times);

// The table of ratios, then for every action measured at both sizes how its time grows from
// `from` to `to` criteria.
void PrintTable(std::ostream& out, const std::vector<Ratio>& ratios, int from, int to);

// A console reporter that also keeps each benchmark's time: of its fastest repetition.
class TimesReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override;
    const Times& Measured() const { return times_; }

  private:
    Times times_;
};

// A time in milliseconds as benchmark function and number of criteria, read from a benchmark
// name such as "SaveCriterion/10000" or "OpenWindowQt/10000/manual_time"; false for a name
// without a number. Of a benchmark repeated, the fastest time is kept: what else the machine
// does only ever slows a run down, so the fastest is the nearest to what the code costs.
bool Record(Times& times, const std::string& name, double milliseconds);

}  // namespace bench
