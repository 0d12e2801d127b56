#pragma once
// The object the navigator hands a module before exporting the current view to an office
// program; reached late-bound. The module titles the export through TitoloMaster.

#include <ostream>

#include "platform/com/dispatch.h"
#include "platform/ui/form.h"

namespace framework {

// Writes the lines of a window's grid as the user sees them, captions first, through the CSV
// writer (csv_writer.h). Error 5 when the window has no grid.
void WriteLinesAsCsv(ui::IForm& window, std::ostream& out);

class ExportToOffice : public com::ComObject<ExportToOffice, com::IDispatch> {
  public:
    static com::ComPtr<ExportToOffice> Create() {
        return com::ComPtr<ExportToOffice>(new ExportToOffice());
    }

    com::Variant Invoke(std::string_view name, com::CallKind kind,
                        std::vector<com::Variant>& args) override {
        return members_.Invoke(name, kind, args);
    }

    const com::Variant& TitoloMaster() const { return title_; }

  private:
    ExportToOffice() {
        members_.Property(
            "TitoloMaster", [this] { return title_; },
            [this](const com::Variant& v) { title_ = v; });
    }

    com::Variant title_;
    com::DispatchTable members_;
};

}  // namespace framework
