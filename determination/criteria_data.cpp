#include "determination/criteria_data.h"

#include <algorithm>
#include <cstdio>

#include "platform/ado/recordset.h"
#include "window/field_structure.h"

namespace determination {

namespace {

std::string TextOf(const com::Variant& v) {
    return v.IsNull() ? std::string() : v.ToText();
}

// Null first, then by number, equal ones by key. Deliberately sorted here rather than by the
// query, so that the order is the same on every server; it must match the window's order
// (CriteriaQuery and PriorityOrder in window/criteria_statements.cpp), and the determination
// tests run the three on the same rows.
bool TriedBefore(const Criterion& a, const Criterion& b) {
    if (a.type != b.type) return a.type < b.type;
    if (a.priority != b.priority) return !a.priority || (b.priority && *a.priority < *b.priority);
    return a.id < b.id;
}

}  // namespace

namespace {

constexpr const char* kCriteriaQuery =
    "SELECT MGA0_ID, MGA0_FLGRESO, MGA0_INDPRIOR, MGA0_DESCR, MGA0_STRUTTURACAMPI "
    "FROM MGA0_QUINTAB WHERE MGA0_DITTA_CG18 = ?";

std::vector<Criterion> ReadCriteria(ado::Recordset& rs, int32_t company) {
    std::vector<Criterion> criteria;
    for (; !rs.Eof(); rs.MoveNext()) {
        Criterion& c = criteria.emplace_back();
        c.id = rs.Fields(0).Value().ToLong();
        c.company = company;
        c.type = rs.Fields(1).Value().ToLong();
        if (auto p = rs.Fields(2).Value(); !p.IsNull()) c.priority = p.ToLong();
        c.description = TextOf(rs.Fields(3).Value());
        c.structureText = TextOf(rs.Fields(4).Value());
        c.structure = dravel::SplitStructure(c.structureText);
    }
    return criteria;
}

}  // namespace

std::vector<Criterion> LoadCriteria(ado::Connection& connection, int32_t company,
                                    std::optional<int32_t> type) {
    std::string sql = kCriteriaQuery;
    std::vector<com::Variant> params{com::Variant(company)};
    if (type) {
        sql += " AND MGA0_FLGRESO = ?";
        params.emplace_back(*type);
    }
    auto criteria = ReadCriteria(*connection.ExecuteWith(sql, params), company);
    std::sort(criteria.begin(), criteria.end(), TriedBefore);
    return criteria;
}

std::optional<Criterion> LoadCriterion(ado::Connection& connection, int32_t company, int32_t id) {
    auto found =
        ReadCriteria(*connection.ExecuteWith(std::string(kCriteriaQuery) + " AND MGA0_ID = ?",
                                             {com::Variant(company), com::Variant(id)}),
                     company);
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

std::string ValueColumn(size_t n) {
    char name[16];
    std::snprintf(name, sizeof name, "MGA1_VALORE%02zu", n);
    return name;
}

}  // namespace determination
