#include "platform/ado/odbc/odbc_handle.h"

#include "platform/ado/odbc/odbc_error.h"
#include "platform/text/utf8.h"

namespace ado::detail {

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!SQL_SUCCEEDED(rc)) {
        handle_ = SQL_NULL_HANDLE;
        SQLSMALLINT parentType = type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV;
        throw OdbcError(parent ? parentType : 0, parent, "Allocating an ODBC handle");
    }
}

void OdbcHandle::Reset() {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, std::exchange(handle_, nullptr));
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const txt::Decoded d = txt::DecodeAt(utf8, i);
        i += d.length;
        if (d.codePoint >= 0x10000) {
            const char32_t c = d.codePoint - 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(d.codePoint);
        }
    }
    return out;
}

std::string Utf8(const SQLWCHAR* text, size_t length) {
    // Most texts are plain ASCII: checked and narrowed in two straight loops, which block
    // fetches of thousands of rows spend much less time in than in the one below.
    SQLWCHAR bits = 0;
    for (size_t i = 0; i < length; ++i) bits |= text[i];
    if (bits < 0x80) return std::string(text, text + length);
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        txt::AppendUtf8(out, c);  // a surrogate without its pair becomes U+FFFD
    }
    return out;
}

}  // namespace ado::detail
