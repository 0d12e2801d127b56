#include "platform/com/guid.h"

#include <uuid/uuid.h>

namespace com {

std::string Guid::ToString() const {
    static const char* hex = "0123456789ABCDEF";
    std::string s = "{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
        s += hex[bytes[i] >> 4];
        s += hex[bytes[i] & 15];
    }
    return s + "}";
}

Guid Guid::New() {
    Guid g;
    uuid_generate_random(g.bytes.data());
    return g;
}

}  // namespace com
