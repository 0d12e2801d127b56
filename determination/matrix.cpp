#include "determination/matrix.h"

#include <unordered_map>

#include "platform/ado/recordset.h"
#include "platform/com/placeholders.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"
#include "resources/attribute_catalogue.h"

namespace determination {

namespace {

std::string StoredText(const com::Variant& v) {
    return v.IsNull() ? std::string() : v.ToText();
}

// "INDC (Cliente)": the attribute at `at` of the criterion's structure.
std::string AttributeName(const Criterion& criterion, size_t at, const Translate& translate) {
    const std::string& code = criterion.structure[at];
    const std::string label = AttributeLabel(code, translate);
    return label == code ? code : code + " (" + label + ")";
}

}  // namespace

std::string AttributeLabel(const std::string& code, const Translate& translate) {
    const std::string caption = dravel::AttributeCaption(code);
    return caption.empty() ? code : translate(caption);
}

std::string KeptText(std::string_view typed) {
    return std::string(txt::Trim(typed));
}

Criterion CriterionOf(ado::Connection& connection, int32_t company, int32_t id,
                      const Translate& translate) {
    auto criterion = LoadCriterion(connection, company, id);
    if (!criterion)
        throw com::ComError(
            com::err::NoCurrentRecord,
            com::FillPlaceholders(translate("Il criterio %1 non esiste nella ditta %2."),
                                  {std::to_string(id), std::to_string(company)}));
    return std::move(*criterion);
}

std::vector<CriterionRows> CriteriaWithRowCounts(ado::Connection& connection, int32_t company) {
    std::vector<CriterionRows> listed;
    for (auto& c : LoadCriteria(connection, company)) listed.push_back({std::move(c), 0});
    auto rs = connection.ExecuteWith(
        "SELECT MGA1_ID_MGA0, COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = ? "
        "GROUP BY MGA1_ID_MGA0",
        {com::Variant(company)});
    std::unordered_map<int32_t, int64_t> counts;
    for (; !rs->Eof(); rs->MoveNext())
        counts[rs->Fields(0).Value().ToLong()] =
            static_cast<int64_t>(rs->Fields(1).Value().ToDouble());
    for (auto& entry : listed)
        if (auto found = counts.find(entry.criterion.id); found != counts.end())
            entry.rows = found->second;
    return listed;
}

std::string RowsQuery(const Criterion& criterion) {
    std::string sql = "SELECT MGA1_ID";
    for (size_t i = 1; i <= criterion.structure.size() && i <= kMaxAttributes; ++i)
        sql += ", " + ValueColumn(i);
    return sql +
           ", MGA1_CONTO FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = ? AND MGA1_ID_MGA0 = ? "
           "ORDER BY MGA1_ID";
}

std::vector<MatrixRow> LoadRows(ado::Connection& connection, const Criterion& criterion) {
    std::vector<MatrixRow> rows;
    auto rs = connection.ExecuteWith(RowsQuery(criterion),
                                     {com::Variant(criterion.company), com::Variant(criterion.id)});
    const int32_t values = rs->FieldCount() - 2;
    for (; !rs->Eof(); rs->MoveNext()) {
        MatrixRow& row = rows.emplace_back();
        row.id = rs->Fields(0).Value().ToLong();
        for (int32_t i = 1; i <= values; ++i)
            row.values.push_back(StoredText(rs->Fields(i).Value()));
        row.account = StoredText(rs->Fields(values + 1).Value());
    }
    return rows;
}

std::vector<RowFault> RowFaults(const Criterion& criterion, const MatrixRow& row) {
    std::vector<RowFault> faults;
    for (size_t i = 0; i < criterion.structure.size(); ++i) {
        const std::string value = i < row.values.size() ? KeptText(row.values[i]) : "";
        if (value.empty())
            faults.push_back({RowFault::Kind::MissingValue, i});
        else if (txt::CharCount(value) > kValueWidth)
            faults.push_back({RowFault::Kind::ValueTooLong, i});
    }
    const std::string account = KeptText(row.account);
    if (account.empty())
        faults.push_back({RowFault::Kind::MissingAccount});
    else if (txt::CharCount(account) > kAccountWidth)
        faults.push_back({RowFault::Kind::AccountTooLong});
    return faults;
}

std::string RowFaultText(const RowFault& fault, const Criterion& criterion,
                         const Translate& translate) {
    switch (fault.kind) {
        case RowFault::Kind::MissingValue:
            return com::FillPlaceholders(translate("Manca il valore di %1"),
                                         {AttributeName(criterion, fault.attribute, translate)});
        case RowFault::Kind::ValueTooLong:
            return com::FillPlaceholders(translate("Il valore di %1 supera i %2 caratteri"),
                                         {AttributeName(criterion, fault.attribute, translate),
                                          std::to_string(kValueWidth)});
        case RowFault::Kind::MissingAccount:
            return translate("Manca il conto");
        case RowFault::Kind::AccountTooLong:
            return com::FillPlaceholders(translate("Il conto supera i %1 caratteri"),
                                         {std::to_string(kAccountWidth)});
    }
    return {};
}

std::vector<int32_t> RowsHolding(ado::Connection& connection, const Criterion& criterion,
                                 const std::vector<std::string>& values, int32_t except) {
    std::string sql =
        "SELECT MGA1_ID FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = ? AND MGA1_ID_MGA0 = ? "
        "AND MGA1_ID <> ?";
    std::vector<com::Variant> params{com::Variant(criterion.company), com::Variant(criterion.id),
                                     com::Variant(except)};
    for (size_t i = 0; i < criterion.structure.size() && i < kMaxAttributes; ++i) {
        sql += " AND TRIM(" + ValueColumn(i + 1) + ") = ?";
        params.emplace_back(KeptText(i < values.size() ? values[i] : std::string()));
    }
    std::vector<int32_t> keys;
    for (auto rs = connection.ExecuteWith(sql + " ORDER BY MGA1_ID", params); !rs->Eof();
         rs->MoveNext())
        keys.push_back(rs->Fields(0).Value().ToLong());
    return keys;
}

std::string ValuesText(const Criterion& criterion, const std::vector<std::string>& values) {
    std::vector<std::string> named;
    for (size_t i = 0; i < criterion.structure.size(); ++i)
        named.push_back(criterion.structure[i] + "=" +
                        txt::Printable(i < values.size() ? values[i] : std::string()));
    return txt::Join(named, " ");
}

std::string SameValuesText(const Criterion& criterion, const MatrixRow& holder,
                           const Translate& translate) {
    return com::FillPlaceholders(translate("La riga %1 (%2) ha già questi valori"),
                                 {std::to_string(holder.id), ValuesText(criterion, holder.values)});
}

}  // namespace determination
