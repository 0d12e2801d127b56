// The list: a list widget over the list box model's entries and selection.

#include <QListWidget>

#include "gui/control_views.h"
#include "gui/ui_text.h"
#include "platform/ui/list_box.h"

namespace gui {

namespace {

class ListView : public ControlView {
  public:
    ListView(ui::ListBox& list, const com::ComPtr<ui::IControl>& control, QWidget* parent)
        : ControlView(control, new QListWidget(parent)), list_(list) {
        auto* widget = static_cast<QListWidget*>(Widget());
        widget->setFocusPolicy(Qt::StrongFocus);
        widget->setUniformItemSizes(true);  // entries of one line: none is measured on its own
        QObject::connect(widget, &QListWidget::currentRowChanged, [this](int row) {
            if (row >= 0 && row != list_.ListIndex()) Act([&] { list_.UserSelect(row); });
        });
    }

  protected:
    void Show() override {
        auto* widget = static_cast<QListWidget*>(Widget());
        QStringList texts;
        for (int32_t i = 0; i < list_.ListCount(); ++i) texts << Qs(list_.List(i));
        QStringList shown;
        for (int i = 0; i < widget->count(); ++i) shown << widget->item(i)->text();
        if (shown != texts) {
            widget->clear();
            widget->addItems(texts);
        }
        widget->setCurrentRow(list_.ListIndex());
    }

  private:
    ui::ListBox& list_;
};

}  // namespace

std::unique_ptr<ControlView> MakeListView(const com::ComPtr<ui::IControl>& control,
                                          QWidget* parent) {
    return MakeViewOf<ui::ListBox, ListView>(control, parent);
}

}  // namespace gui
