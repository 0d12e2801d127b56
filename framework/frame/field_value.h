#pragma once
// Between a column's value and the text a control shows.

#include <string>

#include "platform/com/variant.h"

namespace framework {

// The text a control shows for a value: Null and Empty show as nothing.
std::string FieldText(const com::Variant& value);
// The value written into a column of type `type` for a control's text: a blank text is Null in
// a column of numbers or booleans; otherwise the text, which the recordset converts to the
// column's type (error 13 when it is not a number).
com::Variant ColumnValue(const std::string& text, com::VarType type);

}  // namespace framework
