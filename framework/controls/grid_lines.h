#pragma once
// The raw cell texts of a grid's lines, in column order, in one buffer: a list of 100,000
// criteria costs its texts and an offset per cell, not a vector and strings per line.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

class GridLines {
  public:
    GridLines() = default;
    // Lines of `columns` cells each; `lines` reserves room for that many.
    explicit GridLines(size_t columns, size_t lines = 0);
    // Lines given as lists of cells, all of the first line's width.
    GridLines(std::initializer_list<std::initializer_list<std::string_view>> lines);

    // The next cell, filling the lines in order.
    void Add(std::string_view cell);

    size_t Columns() const { return columns_; }
    size_t LineCount() const { return columns_ == 0 ? 0 : ends_.size() / columns_; }
    // 0-based; the line must exist.
    std::vector<std::string> Cells(size_t line) const;

  private:
    size_t columns_ = 0;
    std::string text_;
    std::vector<uint32_t> ends_;  // where each cell ends in text_
};

}  // namespace framework
