#pragma once
// The grid model (GridControl.Grid): columns, the lines the record frame pushes (raw cell texts)
// and the current line. Displayed cells pass through the FormatCell event.

#include <functional>
#include <string>
#include <vector>

#include "contracts/controls.h"
#include "framework/controls/control_model.h"
#include "framework/controls/frame_links.h"

namespace framework {

class Grid : public ControlModel<Grid, host::IGridControl, ui::ILineView, IFrameGrid,
                                 RaisesEvents<host::IGridEvents>> {
  public:
    static constexpr const char* kKind = "grid";

    struct Column {
        std::string name, caption;
        int32_t kind = 0, width = 0;
        bool flag = false;
    };

    // host::IGridControl
    void SetSourceObject(host::IGridSource* source) override { source_ = source; }
    void AddColumn(const std::string& column, const std::string& caption, int32_t kind,
                   int32_t width, bool flag) override;
    void ColumnsDone() override { Set(columnsDone_, true); }
    void GridReady() override { Set(ready_, true); }
    void SetFocus() override;
    void SetGridLoadMode(int32_t mode) override { Set(loadMode_, mode); }
    void SetColorTheme(int32_t theme) override { Set(colorTheme_, theme); }
    void SetDataFormatEnabled(bool on) override { Set(dataFormat_, on); }
    void SetPreviewFont(const std::string& font, int32_t color) override;

    // ui::ILineView
    std::vector<std::string> ColumnCaptions() override;  // in the user's language
    std::vector<int32_t> ColumnWidths() override;
    int32_t LineCount() override { return count_; }
    // The cells as shown: each raw text after the FormatCell handlers (a failing handler leaves
    // the raw text: a cell is drawn, there is nobody to report to).
    std::vector<std::string> LineCells(int32_t line) override;
    int32_t CurrentLine() override { return current_; }
    // Asks the frame to move there (the frame settles the row first and may refuse); without a
    // frame the grid just moves.
    void UserSelectLine(int32_t line) override;
    void UserFocus() override;

    // IFrameGrid
    std::vector<std::string> ColumnNames() override;
    void SetLines(int32_t count,
                  std::function<std::vector<std::string>(int32_t line)> cells) override;
    void SetCurrentLine(int32_t line) override { Set(current_, line); }
    void SetSelectHandler(std::function<void(int32_t)> select) override {
        select_ = std::move(select);
    }

    const std::vector<Column>& Columns() const { return columns_; }
    host::IGridSource* SourceObject() const { return source_.Get(); }
    bool Ready() const { return columnsDone_ && ready_; }
    // Grows each time the lines are replaced: a view re-reads them only then.
    uint64_t LinesVersion() const { return linesVersion_; }

  private:
    void CheckLine(int32_t line) const;

    com::ComPtr<host::IGridSource> source_;
    std::vector<Column> columns_;
    int32_t count_ = 0;
    std::function<std::vector<std::string>(int32_t line)> cells_;
    int32_t current_ = 0;
    uint64_t linesVersion_ = 0;
    bool columnsDone_ = false, ready_ = false, dataFormat_ = false;
    int32_t loadMode_ = 0, colorTheme_ = 0, previewColor_ = 0;
    std::string previewFont_;
    std::function<void(int32_t)> select_;
};

}  // namespace framework
