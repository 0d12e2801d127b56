#include "host/mod_quintab.h"

#include "platform/text/text.h"

namespace dravel {

com::Variant TrimToText(const com::Variant& value) {
    if (value.IsEmptyOrNull()) return com::Variant("");
    return com::Variant(txt::TrimEnd(value.ToText(), " "));
}

com::Variant ValueOrDefault(const com::Variant& value, const com::Variant& fallback) {
    com::Variant result = value.IsEmptyOrNull() ? fallback : value;
    com::Err().Clear();
    return result;
}

}  // namespace dravel
