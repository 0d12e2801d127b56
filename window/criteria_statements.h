#pragma once
// The texts of the window's SQL statements. They only build text; the window runs them on its
// connection. Every line ends with CR LF. The company code is written unquoted, so a code that
// is not a plain number is refused (error 5 naming it) before any text is built.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ado/types.h"
#include "platform/com/variant.h"

namespace dravel {

// The company's criteria, grouped by posting type, then by priority in the order the renumbering
// keeps (Null first, equal ones by key).
std::string CriteriaQuery(const com::Variant& companyCode,
                          ado::Dialect dialect = ado::Dialect::Tsql);

// The number of criteria of a company and posting type, in the column ID.
std::string NextPriorityQuery(const com::Variant& companyCode, int32_t postingType);

// One row when a criterion still has counter-account matrix rows; the values are the row's own
// company and key, written as they are (not trimmed).
std::string MatrixGuardQuery(const com::Variant& company, const com::Variant& criterionId);
// The number of those matrix rows, in the column N.
std::string MatrixCountQuery(const com::Variant& company, const com::Variant& criterionId);
// Deletes those matrix rows.
std::string MatrixDeleteStatement(const com::Variant& company, const com::Variant& criterionId);

// The number of criteria of a company and posting type (Null priorities too), in the column N.
std::string TypeSizeQuery(const com::Variant& companyCode, int32_t postingType);

// Puts one criterion at `place` (1..n) among the criteria of its company and posting type: the
// others are numbered 1..n around it in their present order, then it takes the place.
std::vector<std::string> PlaceStatements(ado::Dialect dialect, const com::Variant& companyCode,
                                         int32_t postingType, int32_t criterionId, int32_t place);

// Rewrites the priorities of one company and posting type as 1..n in ascending order, written
// back by key; run one after the other, with no row fetched. The type, like the company, is
// right-trimmed and must be a plain number.
std::vector<std::string> RenumberStatements(ado::Dialect dialect, const com::Variant& companyCode,
                                            const com::Variant& postingType);

}  // namespace dravel
