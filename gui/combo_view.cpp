// The choice field: a combo box over the combo model's entries.

#include <QComboBox>

#include "framework/controls/combo.h"
#include "gui/control_views.h"
#include "gui/ui_text.h"

namespace gui {

namespace {

class ComboView : public ControlView {
  public:
    ComboView(framework::Combo& model, const com::ComPtr<ui::IControl>& control, QWidget* parent)
        : ControlView(control, new QComboBox(parent)), model_(model) {
        auto* combo = static_cast<QComboBox*>(Widget());
        combo->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(combo, &QComboBox::activated,
                         [this](int index) { Act([&] { model_.UserChooseIndex(index); }); });
    }

  protected:
    void Show() override {
        auto* combo = static_cast<QComboBox*>(Widget());
        QStringList labels;
        for (const auto& l : model_.Labels()) labels << Qs(l);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        if (shown != labels) {
            combo->clear();
            combo->addItems(labels);
        }
        combo->setCurrentIndex(model_.SelectedIndex());
        combo->setProperty("required", model_.Required());
    }

  private:
    framework::Combo& model_;
};

}  // namespace

std::unique_ptr<ControlView> MakeComboView(const com::ComPtr<ui::IControl>& control,
                                           QWidget* parent) {
    return MakeViewOf<framework::Combo, ComboView>(control, parent);
}

}  // namespace gui
