#include "framework/export_to_office.h"

#include "framework/csv_writer.h"

namespace framework {

void WriteLinesAsCsv(ui::IForm& window, std::ostream& out) {
    com::ComPtr<ui::ILineView> grid;
    for (auto& c : window.Controls())
        if ((grid = c.As<ui::ILineView>())) break;
    if (!grid)
        throw com::ComError(com::err::InvalidCall, "The window " + window.Name() + " has no grid");
    WriteCsvRecord(grid->ColumnCaptions(), out);
    for (int32_t line = 1; line <= grid->LineCount(); ++line)
        WriteCsvRecord(grid->LineCells(line), out);
}

}  // namespace framework
