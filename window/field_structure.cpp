#include "window/field_structure.h"

namespace dravel {

std::vector<std::string> SplitStructure(std::string_view structure) {
    std::vector<std::string> codes;
    for (size_t at = 0; at < structure.size(); at += kCodeLength)
        codes.emplace_back(structure.substr(at, kCodeLength));
    return codes;
}

}  // namespace dravel
