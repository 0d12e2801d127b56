#include "gui/control_view.h"

#include <QSignalBlocker>
#include <QTimer>

#include "platform/ui/toolkit.h"

namespace gui {

ControlView::ControlView(com::ComPtr<ui::IControl> control, QWidget* widget)
    : control_(std::move(control)), widget_(widget) {
    widget_->setObjectName(QString::fromStdString(control_->Name()));
    // Models change inside the user's own actions (a click that rebuilds a tree): the widget is
    // redrawn once the event that changed it is over.
    observer_ = control_->AddObserver([this] { ScheduleRefresh(); });
}

ControlView::~ControlView() {
    *alive_ = false;
    control_->RemoveObserver(observer_);
}

void ControlView::ScheduleRefresh() {
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, widget_, [this, alive = alive_] {
        if (!*alive) return;
        scheduled_ = false;
        Refresh();
    });
}

void ControlView::Refresh() {
    if (!widget_) return;
    QSignalBlocker block(widget_);
    widget_->setVisible(control_->Visible());
    widget_->setEnabled(control_->Enabled());
    Show();
}

void ControlView::TakeModelFocus() {
    modelFocus_ = true;
    widget_->setFocus(Qt::OtherFocusReason);
    modelFocus_ = false;
}

void ControlView::Act(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const com::ComError&) {
        ui::Beep();
    }
    ScheduleRefresh();
}

void ControlView::UserFocused(const std::function<void()>& operation) {
    if (modelFocus_) return;
    try {
        operation();
    } catch (const com::ComError&) {
        ui::Beep();
    }
}

}  // namespace gui

#include "gui/control_views.h"

namespace gui {

std::unique_ptr<ControlView> MakeView(const com::ComPtr<ui::IControl>& control, QWidget* parent) {
    using Factory = std::unique_ptr<ControlView> (*)(const com::ComPtr<ui::IControl>&, QWidget*);
    static const std::pair<const char*, Factory> factories[] = {
        {"edit", MakeEditView},     {"combo", MakeComboView},     {"grid", MakeGridView},
        {"navbar", MakeNavBarView}, {"toolbar", MakeToolbarView}, {"tree", MakeTreeView},
        {"list", MakeListView},     {"label", MakeLabelView},     {"groupbox", MakeGroupBoxView},
    };
    const std::string kind = control->Kind();
    for (const auto& [name, make] : factories)
        if (kind == name) return make(control, parent);
    return nullptr;
}

}  // namespace gui
