#pragma once
// The stored field structure: attribute codes of four characters written one after another.

#include <string>
#include <string_view>
#include <vector>

namespace dravel {

inline constexpr size_t kCodeLength = 4;

// The codes of a stored structure in order. A shorter last piece is kept as it is: it is looked
// up like any code and matches no attribute.
std::vector<std::string> SplitStructure(std::string_view structure);

}  // namespace dravel
