// The window's statement texts, and the renumbering run on a real database.

#include "window/criteria_statements.h"

#include <gtest/gtest.h>

#include "tests/ado/temp_database.h"

namespace dravel::testing {
namespace {

TEST(CriteriaStatements, TextsAreExact) {
    EXPECT_EQ(CriteriaQuery(com::Variant("1  ")),
              "SELECT * FROM MGA0_QUINTAB\r\n"
              " WHERE MGA0_DITTA_CG18 = 1\r\n"
              " ORDER BY MGA0_FLGRESO, MGA0_INDPRIOR\r\n");
    EXPECT_EQ(NextPriorityQuery(com::Variant(12), 4),
              "SELECT COUNT(MGA0_INDPRIOR) AS ID \r\n"
              " FROM MGA0_QUINTAB\r\n"
              " WHERE MGA0_DITTA_CG18 = 12\r\n"
              "     AND MGA0_FLGRESO = 4\r\n");
    EXPECT_EQ(MatrixGuardQuery(com::Variant(1), com::Variant(27)),
              "SELECT 1  FROM MGA1_MATRCPAR\r\n"
              "WHERE MGA1_DITTA_CG18 = 1\r\n"
              "    AND MGA1_ID_MGA0  = 27\r\n");
    EXPECT_EQ(MatrixDeleteStatement(com::Variant(1), com::Variant(27)),
              "DELETE FROM MGA1_MATRCPAR\r\n"
              "WHERE MGA1_DITTA_CG18 = 1\r\n"
              "    AND MGA1_ID_MGA0  = 27\r\n");
}

TEST(CriteriaStatements, TsqlRenumberingIsTheFourScratchTableStatements) {
    std::vector<std::string> expected = {
        "CREATE TABLE [#MGA0_RENUMBER](\r\n"
        "    [ROWNUMBER] [decimal](5, 0) IDENTITY(1,1) NOT NULL,\r\n"
        "    [MGA0_ID] [decimal](5, 0) NOT NULL\r\n"
        ")\r\n",
        "INSERT INTO [#MGA0_RENUMBER] (\"MGA0_ID\")\r\n"
        "SELECT MGA0_ID\r\n"
        "FROM MGA0_QUINTAB\r\n"
        "WHERE MGA0_DITTA_CG18    = 3\r\n"
        "    AND MGA0_FLGRESO     = 1\r\n"
        "ORDER BY MGA0_INDPRIOR ASC\r\n",
        "UPDATE MGA0_QUINTAB\r\n"
        "    SET MGA0_QUINTAB.MGA0_INDPRIOR = (SELECT ROWNUMBER FROM #MGA0_RENUMBER WHERE "
        "#MGA0_RENUMBER.MGA0_ID = MGA0_QUINTAB.MGA0_ID)\r\n"
        "WHERE MGA0_DITTA_CG18    = 3\r\n"
        "    AND MGA0_FLGRESO     = 1\r\n",
        "DROP TABLE #MGA0_RENUMBER\r\n",
    };
    EXPECT_EQ(RenumberStatements(ado::Dialect::Tsql, com::Variant("3 "), com::Variant("1 ")),
              expected);
    EXPECT_EQ(ErrorOf([&] { RenumberStatements(ado::Dialect::Tsql, 3, "1;"); }),
              com::err::InvalidCall);
}

TEST(CriteriaStatements, CompanyCodeThatIsNotAPlainNumberIsRefused) {
    for (const com::Variant& bad : {com::Variant("1 OR 1=1"), com::Variant("'1'"), com::Variant(""),
                                    com::Variant::Null(), com::Variant(1.5)}) {
        std::string description;
        EXPECT_EQ(ErrorOf([&] { CriteriaQuery(bad); }, &description), com::err::InvalidCall)
            << bad.Debug();
        EXPECT_NE(description.find("company code"), std::string::npos);
        EXPECT_EQ(ErrorOf([&] { RenumberStatements(ado::Dialect::Sqlite, bad, 0); }),
                  com::err::InvalidCall);
    }
    std::string description;
    ErrorOf([&] { NextPriorityQuery(com::Variant("1;DROP TABLE X"), 0); }, &description);
    EXPECT_NE(description.find("\"1;DROP TABLE X\""), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { MatrixGuardQuery(com::Variant(1), com::Variant::Null()); }),
              com::err::InvalidCall);
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
    EXPECT_EQ(Priorities(1, 1), "5");
    EXPECT_EQ(Priorities(2, 0), "9");

    std::string before = Priorities(1, 1) + Priorities(2, 0);
    Renumber(1, 4);  // a type without criteria
    EXPECT_EQ(Priorities(1, 1) + Priorities(2, 0), before);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM MGA0_QUINTAB").ToLong(), 6);
}

DRAVEL_ON_EACH_BACKEND(RenumberTest);

}  // namespace
}  // namespace dravel::testing
