// The window's statements: values that are not plain numbers never reach their text.

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

}  // namespace
}  // namespace dravel::testing
