// What the matrix window makes for the criterion it shows: the rows' recordset, the navigation
// bar, the grid with a column per attribute of the structure and one for the account, the bound
// fields below it with their labels, and the record frame over them. All of it is made again for
// another criterion: a frame that outlives the window's hold (someone keeps a reference) can then
// only take its handlers back from controls the window has dropped.

#include <algorithm>

#include "contracts/progids.h"
#include "determination/matrix.h"
#include "framework/matrix_window.h"
#include "framework/recordset_supplier.h"
#include "platform/com/failure.h"
#include "platform/com/registry.h"
#include "resources/attribute_catalogue.h"

namespace framework {

namespace {
constexpr const char* kGridName = "GRD_RIGHE";
constexpr const char* kAccountCaption = "Conto";

// The grid, then one line of label and field per attribute and one for the account.
constexpr ui::Rect kBar{0, 0, 8595, 420}, kGrid{60, 1260, 8475, 2700};
constexpr int32_t kFieldsTop = 4080, kLineHeight = 360;
constexpr int32_t kLabelLeft = 60, kLabelWidth = 2700, kFieldLeft = 2820, kFieldWidth = 4200;

// The columns the window shows and writes: the key and the two the window fills in for a new row,
// the structure's values, the account.
std::string RowsSql(const determination::Criterion& c) {
    std::string sql = "SELECT MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0";
    for (size_t i = 1; i <= c.structure.size() && i <= determination::kMaxAttributes; ++i)
        sql += ", " + determination::ValueColumn(i);
    return sql +
           ", MGA1_CONTO FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = " + std::to_string(c.company) +
           " AND MGA1_ID_MGA0 = " + std::to_string(c.id) + " ORDER BY MGA1_ID";
}

// "TXT_VALORE01" from "MGA1_VALORE01"; "TXT_CONTO" from "MGA1_CONTO".
std::string Named(const char* prefix, const std::string& column) {
    return prefix + column.substr(column.find('_') + 1);
}

}  // namespace

void MatrixWindow::MakeFor(std::optional<determination::Criterion> criterion) {
    DropCriterionControls();
    criterion_ = std::move(criterion);
    if (criterion_) {
        rowsSql_ = RowsSql(*criterion_);
        rows_ = RecordsetSupplier::Create()->NewRecordset();
        rows_->Open(rowsSql_, connection_.Get());
        MakeCriterionControls();
        MakeFrame();
    }
    ControlsChanged();
}

// The frame goes first: the bar and the grid hold it, and it holds handlers on the controls.
void MatrixWindow::DropCriterionControls() {
    frameEvents_.Reset();
    if (bar_) {
        bar_->SetFrameObject(nullptr);
        bar_->SetGridObject(nullptr);
    }
    bar_ = nullptr;
    frame_ = nullptr;
    if (rows_) com::Step([&] { rows_->Close(); });
    rows_ = nullptr;
    grid_ = nullptr;
    for (const auto& name : criterionControls_) RemoveControl(name);
    criterionControls_.clear();
    com::Err().Clear();
}

void MatrixWindow::MakeCriterionControls() {
    auto add = [&]<class I>(const char* progId, const std::string& name, const ui::Rect& rect) {
        auto control = CreateControl<I>(progId, name);
        com::QueryAs<ui::IControl>(control.Get())->SetGeometry(rect);
        criterionControls_.push_back(name);
        return control;
    };
    bar_ = add.operator()<host::INavBar>(host::progid::NavBar, "INTERNAV", kBar);
    bar_->SetAutoMoves(false, true, true);  // "Avanti" and "Indietro" move the frame
    grid_ = add.operator()<host::IGridControl>(host::progid::Grid, kGridName, kGrid);
    // One field per attribute with the catalogue's caption (its code when the catalogue has
    // none), then the account.
    std::vector<std::pair<std::string, std::string>> fields;
    for (size_t i = 0; i < criterion_->structure.size() && i < determination::kMaxAttributes; ++i) {
        fields.emplace_back(
            determination::ValueColumn(i + 1),
            determination::AttributeLabel(criterion_->structure[i], TranslatedText));
    }
    fields.emplace_back(kAccount, Translated(kAccountCaption));
    // The columns fill the grid, a vertical scroll bar beside them.
    const int32_t width = (kGrid.width - 360) / static_cast<int32_t>(fields.size());
    int32_t top = kFieldsTop;
    for (const auto& [column, caption] : fields) {
        grid_->AddColumn(column, caption, 1, width, true);
        add.operator()<host::ICaptionControl>(host::progid::Label, Named("LBL_", column),
                                              {kLabelLeft, top + 30, kLabelWidth, 255})
            ->SetCaption(caption);
        auto field = add.operator()<host::IEditControl>(host::progid::Edit, Named("TXT_", column),
                                                        {kFieldLeft, top, kFieldWidth, 315});
        field->SetDBField(column);
        field->SetCaption(caption);
        top += kLineHeight;
    }
    grid_->ColumnsDone();
    grid_->GridReady();
}

void MatrixWindow::MakeFrame() {
    frame_ = com::CreateObjectAs<host::IRecordFrame>(host::progid::RecordFrame);
    if (!frameEvents_.Connect<host::IRecordFrameEvents>(frame_.Get(), this))
        throw com::ComError(com::err::InvalidCall, "The record frame raises no events");
    frame_->InitFrame(nullptr, connection_.Get(), rows_.Get(), rowsSql_, kAccount, bar_.Get(),
                      grid_.Get());
    for (const auto& name : criterionControls_)
        if (auto field = Control(name).As<host::IEditControl>())
            frame_->BindControl(field.Get(), {});
}

// The same recordset read again, on the row with the same key when it is still there.
void MatrixWindow::ReloadRows() {
    const com::Variant key =
        rows_->Bof() || rows_->Eof() ? com::Variant::Null() : rows_->Fields("MGA1_ID").Value();
    const int32_t position = rows_->AbsolutePosition();
    frame_->DetachSource();
    rows_->Close();
    rows_->Open(rowsSql_, connection_.Get());
    frame_->AttachSource(rowsSql_);
    const int32_t count = rows_->RecordCount();
    if (count == 0) return;
    auto finder = rows_->Clone();
    const auto id = finder->Fields("MGA1_ID");
    for (finder->MoveFirst(); !finder->Eof(); finder->MoveNext()) {
        if (com::Variant::Equal(id.Value(), key)) {
            rows_->SetAbsolutePosition(finder->AbsolutePosition());
            return;
        }
    }
    rows_->SetAbsolutePosition(std::clamp(position, 1, count));
}

}  // namespace framework
