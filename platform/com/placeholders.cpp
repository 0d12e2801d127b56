#include "platform/com/placeholders.h"

namespace com {

std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& values) {
    std::string out;
    for (size_t at = 0; at < text.size(); ++at) {
        const size_t n =
            at + 1 < text.size() ? static_cast<size_t>(text[at + 1] - '1') : values.size();
        if (text[at] == '%' && n < values.size()) {
            out += values[n];
            ++at;
        } else {
            out += text[at];
        }
    }
    return out;
}

}  // namespace com
