#include "determination/matrix_import.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "platform/ado/transaction.h"
#include "platform/com/com_error.h"
#include "platform/com/placeholders.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"

namespace determination {

namespace {

constexpr const char* kAccountHeader = "CONTO";

// Rows written by one statement: the data layer prepares each statement anew, so one per row
// would cost a file of 100,000 lines as many preparations. SQL Server takes at most 2,100
// parameters and 1,000 rows in a statement; SQLite and PostgreSQL more.
constexpr size_t kMostParameters = 2000;
constexpr size_t kMostRows = 500;

// The values as one text that equals another exactly when all the values do.
std::string ValuesKey(const std::vector<std::string>& values) {
    std::string key;
    for (const auto& v : values) (key += std::to_string(v.size()) + ':') += v;
    return key;
}

std::string KeysText(const std::vector<int32_t>& keys) {
    std::vector<std::string> texts;
    for (int32_t k : keys) texts.push_back(std::to_string(k));
    return txt::Join(texts, ", ");
}

// What the file asks for, once every line passed.
struct Plan {
    std::vector<MatrixRow> inserts;
    std::vector<MatrixRow> updates;  // key and new account
    std::vector<int32_t> deletes;
};

class Importer {
  public:
    Importer(const Criterion& criterion, const ImportOptions& options, const Translate& translate,
             size_t lines)
        : criterion_(criterion), options_(options), translate_(translate) {
        lines_.reserve(lines);
    }

    // The rows the criterion has, by their kept values (keys ascending).
    void Know(std::vector<MatrixRow> rows) {
        for (auto& row : rows) {
            for (auto& v : row.values) v = KeptText(v);
            holders_[ValuesKey(row.values)].push_back(row.id);
            accounts_.emplace(row.id, std::move(row.account));
        }
    }

    // Checks one line; its fault, or its step in the plan.
    std::optional<FileFault> Take(const FileRecord& record) {
        std::vector<std::string> reasons = Check(record);
        if (!reasons.empty()) return FileFault{record.line, txt::Join(reasons, "; ")};
        return std::nullopt;
    }

    // The rows that no line matched leave the criterion when the file replaces its rows.
    Plan Finish() {
        if (options_.replace)
            for (const auto& [id, account] : accounts_)
                if (!matched_.contains(id)) plan_.deletes.push_back(id);
        std::sort(plan_.deletes.begin(), plan_.deletes.end());
        return std::move(plan_);
    }

  private:
    std::string Text(const char* italian, const std::vector<std::string>& values = {}) const {
        return com::FillPlaceholders(translate_(italian), values);
    }

    std::vector<std::string> Check(const FileRecord& record) {
        const size_t width = criterion_.structure.size() + 1;
        if (record.cells.size() != width)
            return {Text("Campi: %1 invece di %2",
                         {std::to_string(record.cells.size()), std::to_string(width)})};
        for (const auto& cell : record.cells)
            if (!txt::IsUtf8(cell)) return {Text("Il testo non è UTF-8: salvare il file in UTF-8")};
        MatrixRow row;
        for (size_t i = 0; i + 1 < width; ++i) row.values.push_back(KeptText(record.cells[i]));
        row.account = KeptText(record.cells.back());

        std::vector<std::string> reasons;
        for (const auto& fault : RowFaults(criterion_, row))
            reasons.push_back(RowFaultText(fault, criterion_, translate_));
        const std::string key = ValuesKey(row.values);
        if (auto [first, fresh] = lines_.emplace(key, record.line); !fresh)
            reasons.push_back(
                Text("Gli stessi valori sono alla riga %1", {std::to_string(first->second)}));
        const auto held = holders_.find(key);
        if (held != holders_.end() && held->second.size() > 1 && !options_.replace)
            reasons.push_back(Text("Più righe della matrice hanno già questi valori: %1",
                                   {KeysText(held->second)}));
        if (!reasons.empty()) return reasons;

        if (held == holders_.end()) {
            plan_.inserts.push_back(std::move(row));
        } else {
            // With the file replacing the rows, the first holder stays; the others go.
            row.id = held->second.front();
            matched_.insert(row.id);
            if (accounts_.at(row.id) != row.account) plan_.updates.push_back(std::move(row));
        }
        return {};
    }

    const Criterion& criterion_;
    const ImportOptions& options_;
    const Translate& translate_;
    std::unordered_map<std::string, std::vector<int32_t>> holders_;
    std::unordered_map<int32_t, std::string> accounts_;
    std::unordered_map<std::string, size_t> lines_;  // values -> the first line holding them
    std::unordered_set<int32_t> matched_;
    Plan plan_;
};

void Delete(ado::Connection& connection, const Criterion& criterion,
            const std::vector<int32_t>& keys) {
    for (size_t from = 0; from < keys.size(); from += kMostRows) {
        const size_t count = std::min(kMostRows, keys.size() - from);
        std::string sql = "DELETE FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = ? AND MGA1_ID IN (";
        std::vector<com::Variant> params{com::Variant(criterion.company)};
        for (size_t i = 0; i < count; ++i) {
            sql += i ? ", ?" : "?";
            params.emplace_back(keys[from + i]);
        }
        connection.ExecuteWith(sql + ")", params);
    }
}

void Insert(ado::Connection& connection, const Criterion& criterion,
            const std::vector<MatrixRow>& rows) {
    const size_t values = criterion.structure.size();
    std::string columns = "MGA1_DITTA_CG18, MGA1_ID_MGA0";
    std::string marks = "(?, ?";
    for (size_t i = 1; i <= values; ++i) {
        columns += ", " + ValueColumn(i);
        marks += ", ?";
    }
    marks += ", ?)";
    const size_t perStatement = std::min(kMostRows, kMostParameters / (values + 3));
    for (size_t from = 0; from < rows.size(); from += perStatement) {
        const size_t count = std::min(perStatement, rows.size() - from);
        std::string sql = "INSERT INTO MGA1_MATRCPAR (" + columns + ", MGA1_CONTO) VALUES ";
        std::vector<com::Variant> params;
        params.reserve(count * (values + 3));
        for (size_t r = from; r < from + count; ++r) {
            sql += r > from ? ", " + marks : marks;
            params.emplace_back(criterion.company);
            params.emplace_back(criterion.id);
            for (const auto& v : rows[r].values) params.emplace_back(v);
            params.emplace_back(rows[r].account);
        }
        connection.ExecuteWith(sql, params);
    }
}

}  // namespace

std::vector<std::string> FileHeader(const Criterion& criterion) {
    std::vector<std::string> header = criterion.structure;
    header.emplace_back(kAccountHeader);
    return header;
}

ImportOutcome ImportRows(ado::Connection& connection, int32_t company, int32_t criterionId,
                         const std::vector<FileRecord>& records, const ImportOptions& options,
                         const Translate& translate) {
    ado::Transaction transaction(connection);
    // Taking the criterion's row makes an import wait for another one on the same criterion,
    // which would otherwise not see its rows before both wrote the same values.
    connection.ExecuteWith(
        "UPDATE MGA0_QUINTAB SET MGA0_DESCR = MGA0_DESCR WHERE MGA0_DITTA_CG18 = ? AND MGA0_ID = ?",
        {com::Variant(company), com::Variant(criterionId)});
    const auto criterion = CriterionOf(connection, company, criterionId, translate);

    ImportOutcome outcome;
    const auto header = FileHeader(criterion);
    const bool headed =
        !records.empty() && records.front().cells.size() == header.size() &&
        std::equal(header.begin(), header.end(), records.front().cells.begin(),
                   [](const auto& a, const auto& b) { return txt::EqualNoCase(a, KeptText(b)); });
    if (!headed) {
        outcome.faults.push_back({records.empty() ? 1 : records.front().line,
                                  com::FillPlaceholders(translate("L'intestazione deve essere %1"),
                                                        {txt::Join(header, ";")})});
        return outcome;
    }

    Importer importer(criterion, options, translate, records.size());
    importer.Know(LoadRows(connection, criterion));
    for (size_t i = 1; i < records.size(); ++i)
        if (auto fault = importer.Take(records[i])) outcome.faults.push_back(std::move(*fault));
    if (!outcome.faults.empty() || !options.readWhole) return outcome;

    const Plan plan = importer.Finish();
    Delete(connection, criterion, plan.deletes);
    for (const auto& row : plan.updates)
        connection.ExecuteWith("UPDATE MGA1_MATRCPAR SET MGA1_CONTO = ? WHERE MGA1_ID = ?",
                               {com::Variant(row.account), com::Variant(row.id)});
    Insert(connection, criterion, plan.inserts);
    transaction.Commit();
    outcome.added = plan.inserts.size();
    outcome.changed = plan.updates.size();
    outcome.removed = plan.deletes.size();
    return outcome;
}

}  // namespace determination
