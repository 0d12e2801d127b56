#pragma once
// One row of MGA0_QUINTAB as the tests compare it.

#include <cstdint>
#include <ostream>
#include <string>

namespace testing_support {

struct Criterion {
    int32_t id;
    int32_t type;
    int32_t priority;
    std::string description;
    std::string structure;
    bool operator==(const Criterion&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Criterion& c) {
    return os << "{" << c.id << ", " << c.type << ", " << c.priority << ", \"" << c.description
              << "\", \"" << c.structure << "\"}";
}

}  // namespace testing_support
