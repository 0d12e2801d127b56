#include "app/text_table.h"

#include <algorithm>

#include "platform/text/utf8.h"

namespace app {

std::vector<std::string> TextTable(const std::vector<std::vector<std::string>>& rows) {
    if (rows.empty()) return {};
    std::vector<size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows)
        for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], txt::CharCount(row[i]));
    std::vector<std::string> lines;
    for (const auto& row : rows) {
        std::string line;
        const size_t cells = std::min(row.size(), widths.size());
        for (size_t i = 0; i < cells; ++i) {
            line += row[i];
            if (i + 1 < cells) line += std::string(widths[i] + 2 - txt::CharCount(row[i]), ' ');
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace app
