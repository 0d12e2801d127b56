#include "bench/table/window_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "bench/criteria_database.h"
#include "bench/raw_sqlite.h"
#include "bench/window_session.h"
#include "platform/ado/connection_string.h"

namespace bench {

namespace {

double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    if (!(statm >> size >> resident)) throw std::runtime_error("Cannot read /proc/self/statm");
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

}  // namespace

WindowMemory MeasureWindowMemory(int criteria) {
    // What a first window costs once per process (the module's library, the toolkit's
    // registrations, the heap's first growth) goes before the measure, on a few rows.
    {
        WindowSession warmUp(ado::SqliteConnectionString(CriteriaDatabase(1000)));
        warmUp.Open();
        warmUp.Close();
    }
    const std::string file = CriteriaDatabase(criteria);
    WindowSession session(ado::SqliteConnectionString(file));
    // Memory freed by the filling and the warm-up goes back to the system, so that the open
    // cannot reuse it unseen.
    ::malloc_trim(0);
    const double before = ResidentBytes();
    session.Open();
    // Counted as a user sees the window: its grid's lines drawn.
    if (session.GridLineCount() != criteria || session.GridCells(1).empty())
        throw std::runtime_error("Wrong number of lines");
    const double after = ResidentBytes();
    session.Close();

    RawDatabase db(file);
    auto texts = db.Rows(
        "SELECT AVG(LENGTH(MGA0_DESCR) + COALESCE(LENGTH(MGA0_STRUTTURACAMPI), 0)) "
        "FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = 1");
    return {(after - before) / criteria, std::stod(texts.at(0).at(0))};
}

}  // namespace bench
