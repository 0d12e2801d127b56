#pragma once
// The module's string table: the attribute catalogue, ids 101 to 157 in one unbroken run.
// A group line is "\KEY\Caption", an attribute line "\GROUP\CODE\Caption".

#include <cstdint>
#include <string>
#include <string_view>

namespace dravel {

inline constexpr int32_t kFirstAttributeId = 101;

// The string with this id; error 326 when the table has none.
std::string LoadResString(int32_t id);

// The caption of the attribute with this code, or an empty text when the catalogue has none.
std::string AttributeCaption(std::string_view code);

}  // namespace dravel
