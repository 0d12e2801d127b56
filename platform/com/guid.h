#pragma once
// Class and interface identifiers.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/com_error.h"

namespace com {

struct Guid {
    std::array<uint8_t, 16> bytes{};

    // Parses "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" (braces optional); usable at compile time.
    static constexpr Guid Parse(std::string_view text) {
        Guid g;
        if (!text.empty() && text.front() == '{') text = text.substr(1, text.size() - 2);
        int n = 0;
        for (size_t i = 0; i < text.size() && n < 32; ++i) {
            char c = text[i];
            if (c == '-') continue;
            int v = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                             : -1;
            if (v < 0)
                throw ComError(err::InvalidCall, "Invalid identifier text: " + std::string(text));
            g.bytes[n / 2] = static_cast<uint8_t>(g.bytes[n / 2] | (n % 2 == 0 ? v << 4 : v));
            ++n;
        }
        if (n != 32)
            throw ComError(err::InvalidCall, "Invalid identifier text: " + std::string(text));
        return g;
    }

    std::string ToString() const;  // upper case, with braces
    static Guid New();             // random version 4 identifier

    friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

}  // namespace com
