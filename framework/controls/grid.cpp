#include "framework/controls/grid.h"

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

void Grid::CheckLine(int32_t line) const {
    if (line < 1 || line > count_)
        throw com::ComError(com::err::SubscriptOutOfRange,
                            "The grid " + state_.Name() + " has no line " + std::to_string(line));
}

std::vector<std::string> Grid::LineCells(int32_t line) {
    CheckLine(line);
    std::vector<std::string> cells = cells_(line);
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

void Grid::SetLines(int32_t count, std::function<std::vector<std::string>(int32_t)> cells) {
    count_ = cells ? count : 0;
    cells_ = std::move(cells);
    ++linesVersion_;
    if (current_ > LineCount()) current_ = 0;
    state_.Changed();
}

}  // namespace framework
