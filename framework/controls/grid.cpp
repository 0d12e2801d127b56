#include "framework/controls/grid.h"

#include <utility>

#include "framework/text_service.h"

namespace framework {

void Grid::AddColumn(const std::string& column, const std::string& caption, int32_t kind,
                     int32_t width, bool flag) {
    columns_.push_back({column, caption, kind, width, flag});
    state_.Changed();
}

void Grid::SetFocus() {
    state_.RequestFocus();
}

void Grid::SetPreviewFont(const std::string& font, int32_t color) {
    previewFont_ = font;
    previewColor_ = color;
    state_.Changed();
}

std::vector<std::string> Grid::ColumnCaptions() {
    std::vector<std::string> captions;
    for (const auto& c : columns_) captions.push_back(Translated(c.caption));
    return captions;
}

std::vector<int32_t> Grid::ColumnWidths() {
    std::vector<int32_t> widths;
    for (const auto& c : columns_) widths.push_back(c.width);
    return widths;
}

std::vector<std::string> Grid::ColumnNames() {
    std::vector<std::string> names;
    for (const auto& c : columns_) names.push_back(c.name);
    return names;
}

// A drawing that gives another number of lines than announced leaves the grid empty rather
// than with cells past its lines.
const GridLines& Grid::Lines() {
    if (draw_) {
        lines_ = std::exchange(draw_, nullptr)();
        if (lines_.LineCount() != static_cast<size_t>(count_)) {
            const std::string drawn = std::to_string(lines_.LineCount());
            lines_ = GridLines();
            throw com::ComError(com::err::InvalidCall,
                                "The grid " + state_.Name() + " was drawn " + drawn +
                                    " lines instead of " +
                                    std::to_string(std::exchange(count_, 0)));
        }
    }
    return lines_;
}

void Grid::CheckLine(int32_t line) const {
    if (line < 1 || line > count_)
        throw com::ComError(com::err::SubscriptOutOfRange,
                            "The grid " + state_.Name() + " has no line " + std::to_string(line));
}

std::vector<std::string> Grid::LineCells(int32_t line) {
    CheckLine(line);
    std::vector<std::string> cells = Lines().Cells(static_cast<size_t>(line - 1));
    for (size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
        std::string text = cells[i];
        const std::string& column = columns_[i].name;
        try {
            events_.Raise([&](host::IGridEvents* s) { return s->FormatCell(text, column, {}); });
            cells[i] = std::move(text);
        } catch (const com::ComError&) {
        }
    }
    return cells;
}

void Grid::UserSelectLine(int32_t line) {
    state_.RequireUserInput("grid");
    CheckLine(line);
    if (select_)
        select_(line);
    else
        SetCurrentLine(line);
}

void Grid::UserFocus() {
    state_.RequireUserInput("grid");
    state_.RequestFocus();
}

void Grid::SetLines(int32_t count, std::function<GridLines()> draw) {
    count_ = draw ? count : 0;
    lines_ = GridLines();
    draw_ = std::move(draw);
    ++linesVersion_;
    if (current_ > LineCount()) current_ = 0;
    state_.Changed();
}

}  // namespace framework
