#pragma once
// A window's widgets written down (kind, place, texts, entries) and made again with plain Qt and
// nothing of ours between: the baseline of the desktop open is the same widgets over the same
// rows read by a raw SQLite loop.

#include <QFont>
#include <QRect>
#include <QStringList>
#include <string>
#include <vector>

class QAbstractItemModel;
class QWidget;

namespace bench {

struct WidgetSketch {
    enum class Kind { Panel, Label, Edit, Combo, Group, Tree, List, Button, Table };
    Kind kind = Kind::Panel;
    QRect geometry;
    bool hidden = false;
    QString title;  // a window's title
    QFont font;     // a window's font
    QString text;
    QStringList entries;              // combo, list and tree entries, table column captions
    std::vector<int> sizes;           // tree: each entry's depth; table: column widths
    std::vector<bool> open;           // tree: each entry's expansion
    std::vector<WidgetSketch> parts;  // a panel's or group's own widgets
};

// The window, its widgets without what Qt makes inside its own widgets.
WidgetSketch Sketch(const QWidget& window);

// Makes the sketched window; its table shows `lines`, its first line selected.
QWidget* Build(const WidgetSketch& window, QAbstractItemModel* lines);

}  // namespace bench
