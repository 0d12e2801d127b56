// The tree: a tree widget that mirrors the tree model's nodes (text, bold, colour, expansion,
// selection). Nodes are only ever added or all cleared, so items are added as nodes appear.

#include <QKeyEvent>
#include <QTreeWidget>

#include "gui/control_views.h"
#include "gui/ui_text.h"
#include "platform/ui/tree_view.h"

namespace gui {

namespace {

class TreeWidget : public QTreeWidget {
  public:
    using QTreeWidget::QTreeWidget;
    std::function<void()> enter;

  protected:
    // Enter on a node does what a double-click does.
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && enter) {
            enter();
            return;
        }
        QTreeWidget::keyPressEvent(e);
    }
};

class TreeView : public ControlView {
  public:
    TreeView(ui::TreeView& tree, const com::ComPtr<ui::IControl>& control, QWidget* parent)
        : ControlView(control, new TreeWidget(parent)), tree_(tree) {
        auto* widget = static_cast<TreeWidget*>(Widget());
        widget->setHeaderHidden(true);
        widget->setUniformRowHeights(true);  // one font size: no node is measured on its own
        widget->setExpandsOnDoubleClick(false);
        widget->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(widget, &QTreeWidget::currentItemChanged, [this](QTreeWidgetItem* item) {
            if (!item) return;
            auto key = Utf8(item->data(0, Qt::UserRole).toString());
            auto* selected = tree_.SelectedItem();
            if (selected && selected->key == key) return;
            Act([&] { tree_.UserSelect(key); });
        });
        QObject::connect(widget, &QTreeWidget::itemDoubleClicked,
                         [this] { Act([&] { tree_.UserDoubleClick(); }); });
        widget->enter = [this] {
            if (tree_.SelectedItem()) Act([&] { tree_.UserDoubleClick(); });
        };
        // Opening and closing a group is the tree's own state.
        auto expand = [this](QTreeWidgetItem* item, bool on) {
            if (auto* node = tree_.Find(Utf8(item->data(0, Qt::UserRole).toString())))
                tree_.SetExpanded(*node, on);
        };
        QObject::connect(widget, &QTreeWidget::itemExpanded,
                         [expand](QTreeWidgetItem* item) { expand(item, true); });
        QObject::connect(widget, &QTreeWidget::itemCollapsed,
                         [expand](QTreeWidgetItem* item) { expand(item, false); });
    }

  protected:
    void Show() override {
        auto* widget = static_cast<QTreeWidget*>(Widget());
        if (!StillMirrored()) {
            widget->clear();
            items_.clear();
        }
        for (int32_t i = static_cast<int32_t>(items_.size()) + 1; i <= tree_.Count(); ++i) {
            const ui::TreeNode& node = tree_.Node(i);
            QTreeWidgetItem* item =
                node.parent
                    ? new QTreeWidgetItem(items_[static_cast<size_t>(node.parent->index - 1)])
                    : new QTreeWidgetItem(widget);
            item->setData(0, Qt::UserRole, Qs(node.key));
            items_.push_back(item);
        }
        for (int32_t i = 1; i <= tree_.Count(); ++i) {
            const ui::TreeNode& node = tree_.Node(i);
            QTreeWidgetItem* item = items_[static_cast<size_t>(i - 1)];
            item->setText(0, Qs(node.text));
            QFont font = widget->font();
            font.setBold(node.bold);
            item->setFont(0, font);
            if (node.foreColor != 0)
                item->setForeground(0, QColor(node.foreColor & 0xFF, (node.foreColor >> 8) & 0xFF,
                                              (node.foreColor >> 16) & 0xFF));
            else
                item->setForeground(0, widget->palette().text());
            item->setExpanded(node.expanded);
        }
        auto* selected = tree_.SelectedItem();
        QTreeWidgetItem* current =
            selected ? items_[static_cast<size_t>(selected->index - 1)] : nullptr;
        if (widget->currentItem() != current) widget->setCurrentItem(current);
        if (current) widget->scrollToItem(current);
    }

  private:
    // Whether the items made so far still stand for the first nodes (a cleared and refilled
    // tree has other nodes under the same indexes).
    bool StillMirrored() {
        if (tree_.Count() < static_cast<int32_t>(items_.size())) return false;
        for (size_t i = 0; i < items_.size(); ++i) {
            const ui::TreeNode& node = tree_.Node(static_cast<int32_t>(i + 1));
            QTreeWidgetItem* parent =
                node.parent ? items_[static_cast<size_t>(node.parent->index - 1)] : nullptr;
            if (items_[i]->data(0, Qt::UserRole).toString() != Qs(node.key) ||
                items_[i]->parent() != parent)
                return false;
        }
        return true;
    }

    ui::TreeView& tree_;
    std::vector<QTreeWidgetItem*> items_;  // by node index
};

}  // namespace

std::unique_ptr<ControlView> MakeTreeView(const com::ComPtr<ui::IControl>& control,
                                          QWidget* parent) {
    return MakeViewOf<ui::TreeView, TreeView>(control, parent);
}

}  // namespace gui
