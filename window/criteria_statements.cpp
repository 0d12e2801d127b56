#include "window/criteria_statements.h"

#include "host/mod_quintab.h"

#include "platform/com/com_error.h"

namespace dravel {

namespace {

constexpr const char* kCrLf = "\r\n";

// Lines joined as the statements are built: each one followed by CR LF.
std::string Lines(std::initializer_list<std::string> lines) {
    std::string sql;
    for (const auto& line : lines) sql += line + kCrLf;
    return sql;
}

// The text of a value that goes into a statement unquoted: only a plain integer is safe there.
std::string PlainNumber(const com::Variant& value, bool trim, const char* what) {
    std::string text = trim ? TrimToText(value).ToText()
                            : (value.IsEmptyOrNull() ? std::string() : value.ToText());
    size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    bool plain =
        text.size() > digits && text.find_first_not_of("0123456789", digits) == std::string::npos;
    if (!plain)
        throw com::ComError(com::err::InvalidCall, std::string("The ") + what + " \"" + text +
                                                       "\" is not a plain number: no statement "
                                                       "is built with it");
    return text;
}

std::string Company(const com::Variant& companyCode) {
    return PlainNumber(companyCode, true, "company code");
}

std::string MatrixConditions(const com::Variant& company, const com::Variant& criterionId) {
    return Lines({"WHERE MGA1_DITTA_CG18 = " + PlainNumber(company, false, "company code"),
                  "    AND MGA1_ID_MGA0  = " + PlainNumber(criterionId, false, "criterion key")});
}

std::vector<std::string> RenumberTsql(const std::string& company, const std::string& type) {
    return {
        Lines({"CREATE TABLE [#MGA0_RENUMBER](",
               "    [ROWNUMBER] [decimal](5, 0) IDENTITY(1,1) NOT NULL,",
               "    [MGA0_ID] [decimal](5, 0) NOT NULL", ")"}),
        Lines({"INSERT INTO [#MGA0_RENUMBER] (\"MGA0_ID\")", "SELECT MGA0_ID", "FROM MGA0_QUINTAB",
               "WHERE MGA0_DITTA_CG18    = " + company, "    AND MGA0_FLGRESO     = " + type,
               "ORDER BY MGA0_INDPRIOR ASC"}),
        Lines({"UPDATE MGA0_QUINTAB",
               "    SET MGA0_QUINTAB.MGA0_INDPRIOR = (SELECT ROWNUMBER FROM #MGA0_RENUMBER WHERE "
               "#MGA0_RENUMBER.MGA0_ID = MGA0_QUINTAB.MGA0_ID)",
               "WHERE MGA0_DITTA_CG18    = " + company, "    AND MGA0_FLGRESO     = " + type}),
        Lines({"DROP TABLE #MGA0_RENUMBER"}),
    };
}

// The order of priorities, and of equal ones, in each dialect: Null first, as SQL Server sorts
// it, then storage order.
std::string PriorityOrder(ado::Dialect dialect) {
    switch (dialect) {
        case ado::Dialect::Sqlite:
            return "MGA0_INDPRIOR, rowid";
        case ado::Dialect::Postgresql:
            return "MGA0_INDPRIOR NULLS FIRST, MGA0_ID";
        case ado::Dialect::Tsql:
            return "MGA0_INDPRIOR, MGA0_ID";
    }
    throw com::ComError(com::err::InvalidCall, "Unknown SQL dialect");
}

// One set-based statement: the places by ascending priority, ties in storage order, written
// back by key where they differ.
std::string RenumberByWindow(const std::string& company, const std::string& type,
                             const std::string& order) {
    return Lines({"UPDATE MGA0_QUINTAB", "    SET MGA0_INDPRIOR = R.ROWNUMBER",
                  "FROM (SELECT MGA0_ID AS ID,",
                  "             ROW_NUMBER() OVER (ORDER BY " + order + ") AS ROWNUMBER",
                  "        FROM MGA0_QUINTAB", "       WHERE MGA0_DITTA_CG18 = " + company,
                  "         AND MGA0_FLGRESO = " + type + ") AS R",
                  "WHERE MGA0_QUINTAB.MGA0_ID = R.ID",
                  "  AND MGA0_QUINTAB.MGA0_INDPRIOR IS DISTINCT FROM R.ROWNUMBER"});
}

}  // namespace

// SQLite and SQL Server put Null first, and SQLite reads equal priorities in key order through its
// index; PostgreSQL puts Null last and equal values in the order it finds them, so it is told.
std::string CriteriaQuery(const com::Variant& companyCode, ado::Dialect dialect) {
    const std::string order =
        dialect == ado::Dialect::Postgresql ? PriorityOrder(dialect) : "MGA0_INDPRIOR";
    return Lines({"SELECT * FROM MGA0_QUINTAB", " WHERE MGA0_DITTA_CG18 = " + Company(companyCode),
                  " ORDER BY MGA0_FLGRESO, " + order});
}

std::string NextPriorityQuery(const com::Variant& companyCode, int32_t postingType) {
    return Lines({"SELECT COUNT(MGA0_INDPRIOR) AS ID ", " FROM MGA0_QUINTAB",
                  " WHERE MGA0_DITTA_CG18 = " + Company(companyCode),
                  "     AND MGA0_FLGRESO = " + std::to_string(postingType)});
}

std::string MatrixGuardQuery(const com::Variant& company, const com::Variant& criterionId) {
    return Lines({"SELECT 1  FROM MGA1_MATRCPAR"}) + MatrixConditions(company, criterionId);
}

std::string MatrixCountQuery(const com::Variant& company, const com::Variant& criterionId) {
    return Lines({"SELECT COUNT(*) AS N FROM MGA1_MATRCPAR"}) +
           MatrixConditions(company, criterionId);
}

std::string MatrixDeleteStatement(const com::Variant& company, const com::Variant& criterionId) {
    return Lines({"DELETE FROM MGA1_MATRCPAR"}) + MatrixConditions(company, criterionId);
}

std::vector<std::string> RenumberStatements(ado::Dialect dialect, const com::Variant& companyCode,
                                            const com::Variant& postingType) {
    std::string company = Company(companyCode);
    std::string type = PlainNumber(postingType, true, "posting type");
    // Deliberately two ways to renumber: SQL Server keeps the module's own renumbering texts
    // character for character; SQLite and PostgreSQL run one statement with the same effect.
    switch (dialect) {
        case ado::Dialect::Tsql:
            return RenumberTsql(company, type);
        case ado::Dialect::Sqlite:
        case ado::Dialect::Postgresql:
            return {RenumberByWindow(company, type, PriorityOrder(dialect))};
    }
    throw com::ComError(com::err::InvalidCall, "Unknown SQL dialect");
}

std::string TypeSizeQuery(const com::Variant& companyCode, int32_t postingType) {
    return Lines({"SELECT COUNT(*) AS N FROM MGA0_QUINTAB",
                  " WHERE MGA0_DITTA_CG18 = " + Company(companyCode),
                  "   AND MGA0_FLGRESO = " + std::to_string(postingType)});
}

// The same texts in every dialect but for the order of the others.
std::vector<std::string> PlaceStatements(ado::Dialect dialect, const com::Variant& companyCode,
                                         int32_t postingType, int32_t criterionId, int32_t place) {
    const std::string key = std::to_string(criterionId), at = std::to_string(place);
    return {
        Lines({"UPDATE MGA0_QUINTAB", "    SET MGA0_INDPRIOR = R.PLACE",
               "FROM (SELECT ID, CASE WHEN N < " + at + " THEN N ELSE N + 1 END AS PLACE",
               "        FROM (SELECT MGA0_ID AS ID,",
               "                     ROW_NUMBER() OVER (ORDER BY " + PriorityOrder(dialect) +
                   ") AS N",
               "                FROM MGA0_QUINTAB",
               "               WHERE MGA0_DITTA_CG18 = " + Company(companyCode),
               "                 AND MGA0_FLGRESO = " + std::to_string(postingType),
               "                 AND MGA0_ID <> " + key + ") AS O) AS R",
               "WHERE MGA0_QUINTAB.MGA0_ID = R.ID",
               "  AND (MGA0_QUINTAB.MGA0_INDPRIOR IS NULL OR MGA0_QUINTAB.MGA0_INDPRIOR <> "
               "R.PLACE)"}),
        Lines({"UPDATE MGA0_QUINTAB", "    SET MGA0_INDPRIOR = " + at, "WHERE MGA0_ID = " + key}),
    };
}

}  // namespace dravel
