#include "framework/export_to_office.h"

namespace framework {

namespace {

void WriteField(const std::string& text, std::ostream& out) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) out << (c == '"' ? "\"\"" : std::string(1, c));
    out << '"';
}

void WriteRecord(const std::vector<std::string>& fields, std::ostream& out) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out << ';';
        WriteField(fields[i], out);
    }
    out << "\r\n";
}

}  // namespace

void WriteLinesAsCsv(ui::IForm& window, std::ostream& out) {
    com::ComPtr<ui::ILineView> grid;
    for (auto& c : window.Controls())
        if ((grid = c.As<ui::ILineView>())) break;
    if (!grid)
        throw com::ComError(com::err::InvalidCall, "The window " + window.Name() + " has no grid");
    WriteRecord(grid->ColumnCaptions(), out);
    for (int32_t line = 1; line <= grid->LineCount(); ++line)
        WriteRecord(grid->LineCells(line), out);
}

}  // namespace framework
