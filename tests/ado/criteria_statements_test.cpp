// The window's statements: values that are not plain numbers never reach their text, and the
// renumbering run on a real database.

#include "window/criteria_statements.h"

#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

using ::testing::HasSubstr;

TEST(CriteriaStatements, ACodeThatIsNotAPlainNumberIsRefused) {
    for (const com::Variant& bad : {com::Variant("1 OR 1=1"), com::Variant("'1'"), com::Variant(""),
                                    com::Variant::Null(), com::Variant(1.5)}) {
        EXPECT_THAT([&] { CriteriaQuery(bad); },
                    FailsWith(com::err::InvalidCall, HasSubstr("company code")))
            << bad.Debug();
        EXPECT_THAT([&] { RenumberStatements(ado::Dialect::Sqlite, bad, 0); },
                    FailsWith(com::err::InvalidCall));
        EXPECT_THAT([&] { RenumberStatements(ado::Dialect::Tsql, 3, bad); },
                    FailsWith(com::err::InvalidCall));
    }
    EXPECT_THAT([&] { NextPriorityQuery(com::Variant("1;DROP TABLE X"), 0); },
                FailsWith(com::err::InvalidCall, HasSubstr("\"1;DROP TABLE X\"")));
    EXPECT_THAT([&] { MatrixGuardQuery(com::Variant(1), com::Variant::Null()); },
                FailsWith(com::err::InvalidCall));
}

class RenumberTest : public OnEachBackend {
  protected:
    void Renumber(int32_t company, int32_t type) {
        for (const auto& sql : RenumberStatements(conn_->SqlDialect(), company, type))
            conn_->Execute(sql, nullptr, ado::adExecuteNoRecords);
    }
    std::string Priorities(int32_t company, int32_t type) const {
        return Joined("SELECT MGA0_INDPRIOR FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = " +
                      std::to_string(company) + " AND MGA0_FLGRESO = " + std::to_string(type) +
                      " ORDER BY MGA0_ID");
    }
};

TEST_P(RenumberTest, RenumberingMakesPrioritiesDenseWithinOneCompanyAndType) {
    AddCriterion(1, 1, 0, 7);
    AddCriterion(2, 1, 0, 3);
    AddCriterion(3, 1, 0, 1);
    AddCriterion(4, 1, 0, 3);
    AddCriterion(5, 1, 1, 5);  // another type
    AddCriterion(6, 2, 0, 9);  // another company
    Renumber(1, 0);
    EXPECT_EQ(Priorities(1, 0), "4,2,1,3");  // equal priorities in storage order
    EXPECT_EQ(Priorities(1, 1) + Priorities(2, 0), "59");
    Renumber(1, 4);  // a type without criteria
    EXPECT_EQ(Priorities(1, 1) + Priorities(2, 0), "59");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM MGA0_QUINTAB").ToLong(), 6);
}

DRAVEL_ON_EACH_BACKEND(RenumberTest);

}  // namespace
}  // namespace dravel::testing
