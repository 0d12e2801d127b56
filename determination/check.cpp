#include "determination/check.h"

#include <algorithm>
#include <map>
#include <memory_resource>
#include <string>
#include <unordered_map>

#include "determination/matrix.h"
#include "platform/ado/recordset.h"

namespace determination {

namespace {

struct StoredRow {
    int32_t id = 0;
    std::vector<std::string> values;  // one per attribute of the structure
    bool complete = true;             // false when one of them is Null: the row never answers
    std::string account;              // "" for Null
    size_t lastValued = 0;            // the last value column holding more than blanks; 0 none
};

// "CASE WHEN ... TRIM(MGA1_VALORE10) <> '' THEN 10 ... ELSE 0 END": the last value column of a
// row that holds more than blanks, whatever the width of its criterion's structure, so that a
// value past the structure is seen without reading every column. The test for Null first spares
// the trimming of the columns left empty, most of them.
std::string LastValuedColumn() {
    std::string sql = "CASE";
    for (size_t n = kMaxAttributes; n >= 1; --n)
        sql += " WHEN " + ValueColumn(n) + " IS NOT NULL AND TRIM(" + ValueColumn(n) +
               ") <> '' THEN " + std::to_string(n);
    return sql + " ELSE 0 END";
}

// The matrix rows of a type's criteria with the values of their structures' attributes, read
// for a batch of criteria at a time: a statement per criterion would cost more than the rows,
// and all rows at once could be more than memory holds.
class MatrixRows {
  public:
    MatrixRows(ado::Connection& connection, int32_t company, const std::vector<Criterion>& tried)
        : connection_(connection), company_(company), tried_(tried) {}

    // The rows of the criterion at `at` in the type's order (in key order).
    std::vector<StoredRow> Take(size_t at) {
        if (at >= loadedTo_) Load(at);
        return std::move(rows_[tried_[at].id]);
    }

  private:
    static constexpr size_t kBatch = 200;

    void Load(size_t from) {
        rows_.clear();
        loadedTo_ = std::min(from + kBatch, tried_.size());
        size_t n = 0;
        std::string ids;
        std::vector<com::Variant> params{com::Variant(company_)};
        std::unordered_map<int32_t, size_t> width;  // the structure's attributes, by criterion
        for (size_t i = from; i < loadedTo_; ++i) {
            width[tried_[i].id] = tried_[i].structure.size();
            n = std::max(n, std::min(tried_[i].structure.size(), kMaxAttributes));
            ids += i == from ? "?" : ", ?";
            params.emplace_back(tried_[i].id);
            rows_[tried_[i].id];
        }
        static const std::string lastValued = LastValuedColumn();
        std::string sql = "SELECT MGA1_ID_MGA0, MGA1_ID, MGA1_CONTO, " + lastValued;
        for (size_t i = 1; i <= n; ++i) sql += ", " + ValueColumn(i);
        sql += " FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = ? AND MGA1_ID_MGA0 IN (" + ids +
               ") ORDER BY MGA1_ID";
        for (auto rs = connection_.ExecuteWith(sql, params); !rs->Eof(); rs->MoveNext()) {
            const int32_t criterion = rs->Fields(0).Value().ToLong();
            const size_t attributes = width[criterion];
            StoredRow& row = rows_[criterion].emplace_back();
            row.id = rs->Fields(1).Value().ToLong();
            if (auto account = rs->Fields(2).Value(); !account.IsNull())
                row.account = account.ToText();
            row.lastValued = static_cast<size_t>(rs->Fields(3).Value().ToLong());
            row.complete = attributes <= kMaxAttributes;
            for (size_t i = 0; i < std::min(attributes, kMaxAttributes); ++i) {
                auto v = rs->Fields(static_cast<int>(i) + 4).Value();
                if (v.IsNull()) row.complete = false;
                row.values.push_back(v.IsNull() ? std::string() : v.ToText());
            }
        }
    }

    ado::Connection& connection_;
    int32_t company_;
    const std::vector<Criterion>& tried_;
    size_t loadedTo_ = 0;
    std::unordered_map<int32_t, std::vector<StoredRow>> rows_;
};

// The values of `row` at `places`, as one key, into `key` (a buffer reused for every row).
void KeyOf(const StoredRow& row, const std::vector<size_t>& places, std::pmr::string& key) {
    key.clear();
    for (size_t p : places) {
        key += row.values[p];
        key += '\x1f';
    }
}

// Keys of values, each with the place in the walk of the first criterion that answers for them.
// A type's keys are made by the hundred thousand and dropped together when it is done: they are
// kept in one arena, which costs a fraction of as many allocations and frees of their own.
using Keys = std::pmr::unordered_map<std::pmr::string, size_t>;

// The rows of the criteria tried so far in one type, by structure.
struct AnsweringStructure {
    std::vector<std::string> codes;
    Keys firstAnswering;
};

// Where each of `codes` stands in `structure`; nothing when one is missing.
std::optional<std::vector<size_t>> PlacesIn(const std::vector<std::string>& codes,
                                            const std::vector<std::string>& structure) {
    std::vector<size_t> places;
    for (const auto& code : codes) {
        auto at = std::find(structure.begin(), structure.end(), code);
        if (at == structure.end()) return std::nullopt;
        places.push_back(static_cast<size_t>(at - structure.begin()));
    }
    return places;
}

Finding About(Finding::Kind kind, const Criterion& c, std::optional<Criterion> earlier = {},
              const StoredRow* row = nullptr) {
    Finding f{kind, c, std::move(earlier)};
    if (row) {
        f.row = row->id;
        f.values = row->values;
        f.account = row->account;
    }
    return f;
}

// Whether the row misses a value of the structure or holds one past it.
std::optional<Finding> OffStructure(const Criterion& c, const StoredRow& row) {
    std::vector<std::string> missing;
    for (size_t i = 0; i < row.values.size(); ++i)
        if (KeptText(row.values[i]).empty()) missing.push_back(c.structure[i]);
    const size_t beyond = row.lastValued > c.structure.size() ? row.lastValued : 0;
    if (missing.empty() && !beyond) return std::nullopt;
    Finding f = About(Finding::Kind::OffStructure, c, {}, &row);
    f.missing = std::move(missing);
    f.valueBeyond = beyond;
    return f;
}

// The findings of one posting type's criteria, given in the order they are tried.
void CheckType(ado::Connection& connection, int32_t company, const std::vector<Criterion>& tried,
               const std::function<void(const Finding&)>& found) {
    std::pmr::monotonic_buffer_resource arena;  // first: freed after the keys it holds
    std::map<std::string, AnsweringStructure> answering;
    std::map<std::string, size_t> firstWithStructure;
    std::pmr::string key;
    MatrixRows matrix(connection, company, tried);
    for (size_t at = 0; at < tried.size(); ++at) {
        const Criterion& c = tried[at];
        const int32_t place = static_cast<int32_t>(at) + 1;
        if (c.priority != place) {
            Finding f = About(Finding::Kind::PriorityNotDense, c);
            f.expectedPriority = place;
            found(f);
        }
        const std::string& structure = c.structureText;
        if (auto [same, added] = firstWithStructure.emplace(structure, at); !added)
            found(About(Finding::Kind::SameStructure, c, tried[same->second]));
        auto rows = matrix.Take(at);
        if (rows.empty()) found(About(Finding::Kind::NoRows, c));
        // Each row whose values an earlier criterion with some of these attributes answers for.
        std::vector<std::pair<std::vector<size_t>, const AnsweringStructure*>> earlier;
        for (const auto& [text, s] : answering)
            if (auto places = PlacesIn(s.codes, c.structure))
                earlier.emplace_back(std::move(*places), &s);
        for (const auto& row : rows) {
            if (auto off = OffStructure(c, row)) found(*off);
            if (!row.complete) continue;
            std::optional<size_t> first;
            for (const auto& [places, s] : earlier) {
                KeyOf(row, places, key);
                if (auto hit = s->firstAnswering.find(key);
                    hit != s->firstAnswering.end() && (!first || hit->second < *first))
                    first = hit->second;
            }
            if (first) found(About(Finding::Kind::UnreachableRow, c, tried[*first], &row));
        }
        auto& mine = answering.try_emplace(structure, AnsweringStructure{c.structure, Keys(&arena)})
                         .first->second;
        std::vector<size_t> all(c.structure.size());
        for (size_t i = 0; i < all.size(); ++i) all[i] = i;
        for (const auto& row : rows) {
            if (!row.complete) continue;
            KeyOf(row, all, key);
            mine.firstAnswering.try_emplace(key, at);
        }
    }
}

// Rows of the company whose criterion is gone or is another company's.
void CheckOrphans(ado::Connection& connection, int32_t company,
                  const std::function<void(const Finding&)>& found) {
    auto rs = connection.ExecuteWith(
        "SELECT m.MGA1_ID, m.MGA1_ID_MGA0, q.MGA0_DITTA_CG18, q.MGA0_FLGRESO, q.MGA0_INDPRIOR, "
        "q.MGA0_DESCR FROM MGA1_MATRCPAR m LEFT JOIN MGA0_QUINTAB q ON q.MGA0_ID = m.MGA1_ID_MGA0 "
        "WHERE m.MGA1_DITTA_CG18 = ? AND (q.MGA0_ID IS NULL OR q.MGA0_DITTA_CG18 <> ?) "
        "ORDER BY m.MGA1_ID",
        {com::Variant(company), com::Variant(company)});
    for (; !rs->Eof(); rs->MoveNext()) {
        Finding f{Finding::Kind::OrphanRow, {}, {}};
        f.row = rs->Fields(0).Value().ToLong();
        f.rowCriterion = rs->Fields(1).Value().ToLong();
        if (auto owner = rs->Fields(2).Value(); !owner.IsNull()) {
            Criterion c;
            c.id = f.rowCriterion;
            c.company = owner.ToLong();
            c.type = rs->Fields(3).Value().ToLong();
            if (auto p = rs->Fields(4).Value(); !p.IsNull()) c.priority = p.ToLong();
            if (auto d = rs->Fields(5).Value(); !d.IsNull()) c.description = d.ToText();
            f.criterion = std::move(c);
        }
        found(f);
    }
}

}  // namespace

void Check(ado::Connection& connection, int32_t company,
           const std::function<void(const Finding&)>& found) {
    auto criteria = LoadCriteria(connection, company);
    for (auto begin = criteria.begin(); begin != criteria.end();) {
        auto end = std::find_if(begin, criteria.end(),
                                [&](const Criterion& c) { return c.type != begin->type; });
        CheckType(connection, company, std::vector<Criterion>(begin, end), found);
        begin = end;
    }
    CheckOrphans(connection, company, found);
}

std::vector<Finding> Check(ado::Connection& connection, int32_t company) {
    std::vector<Finding> findings;
    Check(connection, company, [&](const Finding& f) { findings.push_back(f); });
    return findings;
}

}  // namespace determination
