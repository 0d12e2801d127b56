#include "framework/frame/field_value.h"

#include "platform/text/text.h"

namespace framework {

std::string FieldText(const com::Variant& value) {
    return value.IsEmptyOrNull() ? std::string() : value.ToText();
}

com::Variant ColumnValue(const std::string& text, com::VarType type) {
    const bool textual = type == com::VarType::String || type == com::VarType::Empty;
    if (!textual && txt::IsBlank(text)) return com::Variant::Null();
    return com::Variant(text);
}

}  // namespace framework
