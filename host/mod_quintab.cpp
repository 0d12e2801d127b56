#include "host/mod_quintab.h"

namespace dravel {

com::Variant TrimToText(const com::Variant& value) {
    if (value.IsEmptyOrNull()) return com::Variant("");
    std::string text = value.ToText();
    auto end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return com::Variant(std::move(text));
}

com::Variant ValueOrDefault(const com::Variant& value, const com::Variant& fallback) {
    com::Variant result = value.IsEmptyOrNull() ? fallback : value;
    com::Err().Clear();
    return result;
}

}  // namespace dravel
