// dravel-bench-server: the user's actions on a PostgreSQL database through the ODBC provider,
// each beside raw ODBC calls sending the same statements, and for each size the ratio.

#include "bench/ratio_reporter.h"

int main(int argc, char** argv) {
    return bench::RunWithRatios(
        argc, argv,
        {{"OpenWindowPostgresql", "OpenWindowRawOdbc", "Open / raw ODBC"},
         {"SaveCriterionPostgresql", "SaveCriterionRawOdbc", "Save / raw ODBC"},
         {"MoveCriterionPostgresql", "MoveCriterionRawOdbc", "Move / raw ODBC"}});
}
