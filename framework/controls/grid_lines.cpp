#include "framework/controls/grid_lines.h"

#include <stdexcept>

namespace framework {

GridLines::GridLines(size_t columns, size_t lines) : columns_(columns) {
    ends_.reserve(columns * lines);
}

GridLines::GridLines(std::initializer_list<std::initializer_list<std::string_view>> lines)
    : GridLines(lines.size() == 0 ? 0 : lines.begin()->size(), lines.size()) {
    for (const auto& line : lines) {
        if (line.size() != columns_) throw std::invalid_argument("Grid lines of unequal width");
        for (auto cell : line) Add(cell);
    }
}

void GridLines::Add(std::string_view cell) {
    if (text_.size() + cell.size() > UINT32_MAX)
        throw std::length_error("The grid's texts are too long");
    text_.append(cell);
    ends_.push_back(static_cast<uint32_t>(text_.size()));
}

std::vector<std::string> GridLines::Cells(size_t line) const {
    std::vector<std::string> cells;
    cells.reserve(columns_);
    for (size_t i = line * columns_; i < (line + 1) * columns_; ++i) {
        uint32_t begin = i == 0 ? 0 : ends_[i - 1];
        cells.emplace_back(text_, begin, ends_[i] - begin);
    }
    return cells;
}

}  // namespace framework
