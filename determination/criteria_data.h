#pragma once
// The rows the determination rule reads: a company's criteria and the values of their counter-
// account matrix rows.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ado/connection.h"

namespace determination {

// Gives a text written in Italian in the user's language.
using Translate = std::function<std::string(const std::string&)>;

inline constexpr size_t kMaxAttributes = 10;  // MGA1_VALORE01 .. MGA1_VALORE10

struct Criterion {
    int32_t id = 0;
    int32_t company = 0;
    int32_t type = 0;
    std::optional<int32_t> priority;  // Null when another program left it so
    std::string description;
    std::string structureText;           // MGA0_STRUTTURACAMPI as stored ("" for Null)
    std::vector<std::string> structure;  // its attribute codes in order
};

// The company's criteria in the order they are tried: by posting type, then priority (Null
// first, as the window lists them), equal priorities by key. Only one type when given.
std::vector<Criterion> LoadCriteria(ado::Connection& connection, int32_t company,
                                    std::optional<int32_t> type = std::nullopt);

// The company's criterion with this key, or none.
std::optional<Criterion> LoadCriterion(ado::Connection& connection, int32_t company, int32_t id);

// "MGA1_VALORE01" .. "MGA1_VALORE10": the column holding the value of the structure's n-th
// attribute (n from 1).
std::string ValueColumn(size_t n);

}  // namespace determination
