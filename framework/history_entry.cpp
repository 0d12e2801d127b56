#include "framework/history_entry.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "platform/text/text.h"

namespace framework::history {

namespace {

using nlohmann::json;

// Numbers as numbers, whole ones as integers: a key read as 5 and as 5.0 is the same value.
json Json(const com::Variant& v) {
    if (v.IsEmptyOrNull()) return nullptr;
    const com::VarType type = v.Type();
    if (type == com::VarType::Boolean) return v.ToLong() != 0;
    if (type == com::VarType::Integer || type == com::VarType::Long ||
        type == com::VarType::Double) {
        const double d = v.ToDouble();
        if (d == std::floor(d) && std::fabs(d) < 1e15) return static_cast<int64_t>(d);
        return d;
    }
    return v.ToText();
}

json Row(const Values& values) {
    json row = json::object();
    for (const auto& [column, value] : values) row[column] = Json(value);
    return row;
}

// The columns whose value differs, each [before, after]; a new row's columns that hold one.
json Changed(const Touched& row) {
    json changed = json::object();
    for (const auto& [column, value] : row.after) {
        json after = Json(value);
        json before = nullptr;
        if (row.before) {
            auto it = row.before->find(column);
            if (it != row.before->end()) before = Json(it->second);
        } else if (column == row.table->key) {
            continue;  // the record's key
        }
        if (before != after) changed[column] = json::array({before, after});
    }
    return changed;
}

bool Differs(const Touched& row) {
    for (const auto& [column, value] : row.after) {
        auto it = row.before->find(column);
        if (it == row.before->end() || Json(it->second) != Json(value)) return true;
    }
    return false;
}

std::optional<int32_t> Number(const Values& values, const char* column) {
    auto it = values.find(column);
    if (it == values.end() || it->second.IsEmptyOrNull()) return std::nullopt;
    return it->second.ToLong();
}

const Values& Latest(const Touched& row) {
    return row.before && (row.deleted || row.after.empty()) ? *row.before : row.after;
}

}  // namespace

const Table* TableNamed(const std::string& name) {
    for (const Table* table : {&kCriteria, &kMatrix})
        if (txt::EqualNoCase(name, table->name)) return table;
    return nullptr;
}

std::optional<db::HistoryRecord> RecordOf(const TouchedRows& rows,
                                          const std::vector<Values>& inserted) {
    std::vector<const TouchedRows::value_type*> own;
    for (const auto& entry : rows)
        if (entry.second.written && (entry.second.before || !entry.second.deleted))
            own.push_back(&entry);
    std::sort(own.begin(), own.end(),
              [](auto* a, auto* b) { return a->second.written < b->second.written; });

    std::map<int32_t, int32_t> renumbered;  // type -> criteria
    auto renumber = [&](const Touched& row) {
        if (row.table != &kCriteria || row.deleted || !row.before) return;
        if (!row.renumbered && !Differs(row)) return;
        if (auto type = Number(Latest(row), kCriterionType)) ++renumbered[*type];
    };
    for (const auto& [at, row] : rows)
        if (!row.written) renumber(row);
    for (size_t i = 0; i + 1 < own.size(); ++i) renumber(own[i]->second);

    db::HistoryRecord record;
    json detail = json::object();
    const Values* identity = nullptr;  // a row that names the company and the criterion
    const Table* table = &kMatrix;
    if (own.empty()) {
        json added = json::array(), modified = json::array(), removed = json::array();
        for (const auto& row : inserted) {
            added.push_back(Row(row));
            identity = &row;
        }
        for (const auto& [at, row] : rows) {
            if (row.table != &kMatrix || (row.deleted && !row.before)) continue;
            identity = &Latest(row);
            if (row.deleted)
                removed.push_back(Row(*row.before));
            else if (json changed = Changed(row); !changed.empty())
                modified.push_back({{"key", at.second}, {"changed", changed}});
        }
        if (added.empty() && modified.empty() && removed.empty()) return std::nullopt;
        record.action = db::kActionImport;
        for (auto [name, list] :
             {std::pair{"added", &added}, {"modified", &modified}, {"removed", &removed}})
            if (!list->empty()) detail[name] = *list;
    } else {
        const auto& [at, main] = *own.back();
        table = main.table;
        identity = &Latest(main);
        record.key = at.second;
        if (main.deleted) {
            record.action = db::kActionDelete;
            detail["row"] = Row(*main.before);
            json taken = json::array();
            for (const auto& [other, row] : rows)
                if (row.deleted && row.before && &row != &main)
                    taken.push_back({{"table", other.first->name}, {"row", Row(*row.before)}});
            if (!taken.empty()) detail["taken"] = taken;
        } else {
            json changed = Changed(main);
            if (changed.empty() && renumbered.empty()) return std::nullopt;
            record.action = !main.before     ? db::kActionNew
                            : own.size() > 1 ? db::kActionMove
                                             : db::kActionChange;
            detail["changed"] = changed;
        }
    }
    if (!renumbered.empty()) {
        json list = json::array();
        for (auto [type, count] : renumbered) list.push_back({{"type", type}, {"count", count}});
        detail["renumbered"] = list;
    }
    record.table = table->name;
    record.company = Number(*identity, table->company).value_or(0);
    record.criterion = Number(*identity, table->criterion);
    record.detail = detail.dump();
    return record;
}

}  // namespace framework::history
