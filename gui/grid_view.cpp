// The grid: a table view over a table model that asks the grid model for the lines it draws.
// Nothing is made per line, so a long list opens as fast as a short one.

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>

#include "framework/controls/grid.h"
#include "gui/control_views.h"
#include "gui/twips.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

class LineTableModel : public QAbstractTableModel {
  public:
    explicit LineTableModel(framework::Grid& grid) : grid_(grid) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : grid_.LineCount();
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(grid_.Columns().size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        // A row is drawn cell by cell: its cells are formatted once.
        if (cachedLine_ != index.row()) {
            cachedCells_ = grid_.LineCells(index.row() + 1);
            cachedLine_ = index.row();
        }
        auto column = static_cast<size_t>(index.column());
        return column < cachedCells_.size() ? Qs(cachedCells_[column]) : QString();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
        const auto captions = grid_.ColumnCaptions();  // in the user's language
        return section < static_cast<int>(captions.size())
                   ? Qs(captions[static_cast<size_t>(section)])
                   : QVariant();
    }

    // Re-reads the lines when the grid model replaced them; returns whether it did.
    bool Sync() {
        if (version_ == grid_.LinesVersion() && columns_ == grid_.Columns().size()) return false;
        beginResetModel();
        version_ = grid_.LinesVersion();
        columns_ = grid_.Columns().size();
        cachedLine_ = -1;
        endResetModel();
        return true;
    }

  private:
    framework::Grid& grid_;
    uint64_t version_ = 0;
    size_t columns_ = 0;
    mutable int cachedLine_ = -1;
    mutable std::vector<std::string> cachedCells_;
};

using TableView = FocusReporting<QTableView>;

class GridView : public ControlView {
  public:
    GridView(framework::Grid& grid, const com::ComPtr<ui::IControl>& control, QWidget* parent)
        : ControlView(control, new TableView(parent)), grid_(grid), lines_(grid) {
        auto* table = static_cast<TableView*>(Widget());
        // Lines of one fixed height, set before the lines come: the header then sizes its
        // sections once, not line by line.
        table->verticalHeader()->hide();
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
        table->setModel(&lines_);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setTabKeyNavigation(false);  // Tab leaves the grid for the next field
        table->setAlternatingRowColors(true);
        table->setWordWrap(false);
        table->horizontalHeader()->setHighlightSections(false);
        table->horizontalHeader()->setStretchLastSection(true);  // no blank strip on the right
        table->setFocusPolicy(Qt::StrongFocus);
        table->focused = [this] { UserFocused([&] { grid_.UserFocus(); }); };
        QObject::connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged,
                         [this](const QModelIndex& current) {
                             if (!current.isValid() || current.row() + 1 == grid_.CurrentLine())
                                 return;
                             Act([&] { grid_.UserSelectLine(current.row() + 1); });
                         });
    }

    ~GridView() override {
        if (auto* table = static_cast<QTableView*>(Widget())) table->setModel(nullptr);
    }

  protected:
    void Show() override {
        auto* table = static_cast<QTableView*>(Widget());
        if (lines_.Sync()) {
            const auto& columns = grid_.Columns();
            for (size_t i = 0; i < columns.size(); ++i)
                table->setColumnWidth(static_cast<int>(i), Pixels(columns[i].width));
        }
        const int line = grid_.CurrentLine();
        auto* selection = table->selectionModel();
        if (line <= 0) {
            selection->clearSelection();
            return;
        }
        QModelIndex current = lines_.index(line - 1, std::max(table->currentIndex().column(), 0));
        if (table->currentIndex().row() != line - 1)
            selection->setCurrentIndex(
                current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        table->scrollTo(current);
    }

  private:
    framework::Grid& grid_;
    LineTableModel lines_;
};

}  // namespace

std::unique_ptr<ControlView> MakeGridView(const com::ComPtr<ui::IControl>& control,
                                          QWidget* parent) {
    return MakeViewOf<framework::Grid, GridView>(control, parent);
}

}  // namespace gui
