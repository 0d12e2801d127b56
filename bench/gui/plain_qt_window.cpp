#include "bench/gui/plain_qt_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>

namespace bench {

namespace {

using Kind = WidgetSketch::Kind;

std::vector<WidgetSketch> SketchParts(const QWidget& parent);
void BuildParts(const std::vector<WidgetSketch>& parts, QWidget* parent, QAbstractItemModel* lines);

WidgetSketch SketchOf(const QWidget& w) {
    WidgetSketch s;
    s.geometry = w.geometry();
    s.hidden = w.isHidden();
    if (auto* table = qobject_cast<const QTableView*>(&w)) {
        s.kind = Kind::Table;
        for (int c = 0; table->model() && c < table->model()->columnCount(); ++c) {
            s.entries << table->model()->headerData(c, Qt::Horizontal).toString();
            s.sizes.push_back(table->columnWidth(c));
        }
    } else if (auto* tree = qobject_cast<const QTreeWidget*>(&w)) {
        s.kind = Kind::Tree;
        for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
            int depth = 0;
            for (auto* p = (*it)->parent(); p; p = p->parent()) ++depth;
            s.entries << (*it)->text(0);
            s.sizes.push_back(depth);
            s.open.push_back((*it)->isExpanded());
        }
    } else if (auto* list = qobject_cast<const QListWidget*>(&w)) {
        s.kind = Kind::List;
        for (int i = 0; i < list->count(); ++i) s.entries << list->item(i)->text();
    } else if (auto* combo = qobject_cast<const QComboBox*>(&w)) {
        s.kind = Kind::Combo;
        for (int i = 0; i < combo->count(); ++i) s.entries << combo->itemText(i);
    } else if (auto* edit = qobject_cast<const QLineEdit*>(&w)) {
        s.kind = Kind::Edit;
        s.text = edit->text();
    } else if (auto* label = qobject_cast<const QLabel*>(&w)) {
        s.kind = Kind::Label;
        s.text = label->text();
    } else if (auto* button = qobject_cast<const QToolButton*>(&w)) {
        s.kind = Kind::Button;
        s.text = button->text();
    } else {
        s.kind = qobject_cast<const QGroupBox*>(&w) ? Kind::Group : Kind::Panel;
        if (auto* group = qobject_cast<const QGroupBox*>(&w)) s.text = group->title();
        s.parts = SketchParts(w);
    }
    return s;
}

QWidget* Make(const WidgetSketch& s, QWidget* parent, QAbstractItemModel* lines) {
    switch (s.kind) {
        case Kind::Table: {
            auto* table = new QTableView(parent);
            table->verticalHeader()->hide();
            table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
            table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
            table->setModel(lines);
            table->setSelectionBehavior(QAbstractItemView::SelectRows);
            table->setAlternatingRowColors(true);
            table->horizontalHeader()->setHighlightSections(false);
            table->horizontalHeader()->setStretchLastSection(true);
            for (size_t c = 0; c < s.sizes.size(); ++c)
                table->setColumnWidth(static_cast<int>(c), s.sizes[c]);
            table->selectRow(0);
            return table;
        }
        case Kind::Tree: {
            auto* tree = new QTreeWidget(parent);
            tree->setHeaderHidden(true);
            tree->setUniformRowHeights(true);
            std::vector<QTreeWidgetItem*> open;  // the last entry made at each depth
            for (qsizetype i = 0; i < s.entries.size(); ++i) {
                const auto depth = static_cast<size_t>(s.sizes[static_cast<size_t>(i)]);
                auto* item =
                    depth == 0 ? new QTreeWidgetItem(tree) : new QTreeWidgetItem(open[depth - 1]);
                item->setText(0, s.entries[i]);
                item->setExpanded(s.open[static_cast<size_t>(i)]);
                open.resize(depth);
                open.push_back(item);
            }
            return tree;
        }
        case Kind::List: {
            auto* list = new QListWidget(parent);
            list->setUniformItemSizes(true);
            list->addItems(s.entries);
            return list;
        }
        case Kind::Combo: {
            auto* combo = new QComboBox(parent);
            combo->addItems(s.entries);
            return combo;
        }
        case Kind::Edit:
            return new QLineEdit(s.text, parent);
        case Kind::Label:
            return new QLabel(s.text, parent);
        case Kind::Button: {
            auto* button = new QToolButton(parent);
            button->setText(s.text);
            return button;
        }
        case Kind::Group:
        case Kind::Panel: {
            auto* panel =
                s.kind == Kind::Group ? new QGroupBox(s.text, parent) : new QWidget(parent);
            BuildParts(s.parts, panel, lines);
            return panel;
        }
    }
    return nullptr;
}

std::vector<WidgetSketch> SketchParts(const QWidget& parent) {
    std::vector<WidgetSketch> parts;
    for (auto* child : parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        parts.push_back(SketchOf(*child));
    return parts;
}

void BuildParts(const std::vector<WidgetSketch>& parts, QWidget* parent,
                QAbstractItemModel* lines) {
    for (const auto& s : parts) {
        QWidget* w = Make(s, parent, lines);
        w->setGeometry(s.geometry);
        if (s.hidden) w->hide();
    }
}

}  // namespace

WidgetSketch Sketch(const QWidget& window) {
    WidgetSketch s;
    s.geometry = window.geometry();
    s.title = window.windowTitle();
    s.font = window.font();
    s.parts = SketchParts(window);
    return s;
}

QWidget* Build(const WidgetSketch& window, QAbstractItemModel* lines) {
    auto* w = new QWidget;
    w->setWindowTitle(window.title);
    w->setFont(window.font);
    BuildParts(window.parts, w, lines);
    return w;
}

}  // namespace bench
