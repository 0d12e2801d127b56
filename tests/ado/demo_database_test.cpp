// The schema's checks and the demo data, on each backend.

#include "db/demo_data.h"

#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

class Schema : public OnEachBackend {};

TEST_P(Schema, ChecksKeysAndAcceptsMinimalMatrixRows) {
    EXPECT_THAT([&] { AddCriterion(100000, 1, 0, 1); }, FailsWith(com::err::Database));
    conn_->Execute("INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0) VALUES (1, 5)");
    EXPECT_EQ(Scalar("SELECT MGA1_ID FROM MGA1_MATRCPAR"), com::Variant(1));
}

// A window still showing a deleted criterion finds no other one under its key.
TEST_P(Schema, NeverGivesTheKeyOfADeletedCriterionToANewOne) {
    AddCriterion(7, 1, 0, 1);
    conn_->Execute("DELETE FROM MGA0_QUINTAB WHERE MGA0_ID = 7");
    conn_->Execute("INSERT INTO MGA0_QUINTAB (MGA0_DITTA_CG18, MGA0_FLGRESO) VALUES (1, 0)");
    EXPECT_EQ(Scalar("SELECT MGA0_ID FROM MGA0_QUINTAB").ToLong(), 8);
}

// Priorities run 1..n within every company and type, and every matrix row has its criterion.
TEST_P(Schema, TakesTheDemoDataWithDensePrioritiesAndNoOrphanRows) {
    db::LoadDemoData(*conn_);
    // As its own file, only a new one.
    db::CreateDemoDatabase(folder_ / "demo.db");
    EXPECT_THAT([&] { db::CreateDemoDatabase(folder_ / "demo.db"); }, FailsWith(58));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM (SELECT MGA0_DITTA_CG18 FROM MGA0_QUINTAB GROUP BY "
                     "MGA0_DITTA_CG18, MGA0_FLGRESO HAVING MIN(MGA0_INDPRIOR) <> 1 OR "
                     "MAX(MGA0_INDPRIOR) <> COUNT(*) OR COUNT(DISTINCT MGA0_INDPRIOR) <> COUNT(*)) "
                     "AS GAPS")
                  .ToLong(),
              0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE NOT EXISTS (SELECT 1 FROM "
                     "MGA0_QUINTAB WHERE MGA0_ID = MGA1_ID_MGA0 AND MGA0_DITTA_CG18 = "
                     "MGA1_DITTA_CG18)")
                  .ToLong(),
              0);
}

DRAVEL_ON_EACH_BACKEND(Schema);

}  // namespace
}  // namespace dravel::testing
