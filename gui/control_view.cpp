#include "gui/control_view.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "platform/ui/toolkit.h"

namespace gui {

namespace {

// Views waiting to be redrawn, in the order they asked.
std::vector<ControlView*>& Waiting() {
    static std::vector<ControlView*> views;
    return views;
}

// What the user types or clicks next must meet what the models show now: a Tab that selects a
// field's text must select the new row's text, not the old one the view still shows. So the
// waiting views are redrawn before any key or click is delivered, except to a message box (the
// views are then in the middle of the user's previous action).
class RedrawBeforeInput : public QObject {
  protected:
    bool eventFilter(QObject* receiver, QEvent* e) override {
        switch (e->type()) {
            case QEvent::ShortcutOverride:
            case QEvent::KeyPress:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                if (auto* w = qobject_cast<QWidget*>(receiver);
                    !w || !qobject_cast<QMessageBox*>(w->window()))
                    ControlView::RedrawWaiting();
                break;
            default:
                break;
        }
        return false;
    }
};

}  // namespace

void ControlView::RedrawWaiting() {
    while (!Waiting().empty()) {
        auto views = std::exchange(Waiting(), {});
        for (auto* v : views) {
            v->scheduled_ = false;
            v->Refresh();
        }
    }
}

ControlView::ControlView(com::ComPtr<ui::IControl> control, QWidget* widget)
    : control_(std::move(control)), widget_(widget) {
    widget_->setObjectName(QString::fromStdString(control_->Name()));
    // Models change inside the user's own actions (a click that rebuilds a tree): the widget is
    // redrawn once the event that changed it is over.
    observer_ = control_->AddObserver([this] { ScheduleRefresh(); });
}

ControlView::~ControlView() {
    auto& waiting = Waiting();
    waiting.erase(std::remove(waiting.begin(), waiting.end(), this), waiting.end());
    control_->RemoveObserver(observer_);
}

void ControlView::ScheduleRefresh() {
    if (scheduled_) return;
    scheduled_ = true;
    static auto* filter = [] {
        auto* f = new RedrawBeforeInput();
        qApp->installEventFilter(f);
        return f;
    }();
    (void)filter;
    if (Waiting().empty()) QTimer::singleShot(0, qApp, &ControlView::RedrawWaiting);
    Waiting().push_back(this);
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
