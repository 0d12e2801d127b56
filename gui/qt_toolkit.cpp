#include "gui/qt_toolkit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "framework/controls/control_model.h"
#include "gui/form_view.h"
#include "gui/message_box.h"

namespace gui {

namespace {

// Closing a window's frame (its close button, Alt+F4) asks the window to unload; the frame goes
// away when it has.
class CloseRequests : public QObject {
  public:
    explicit CloseRequests(ui::IForm& form) : form_(form) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close || !form_.Loaded())
            return QObject::eventFilter(watched, event);
        event->ignore();
        try {
            form_.UserClose();
        } catch (const com::ComError& e) {
            framework::ShowError(e, form_.Caption());
        }
        return true;
    }

  private:
    ui::IForm& form_;
};

void ShowInState(QWidget& frame, int32_t state) {
    if (state == ui::vbMaximized)
        frame.showMaximized();
    else if (state == ui::vbMinimized)
        frame.showMinimized();
    else
        frame.showNormal();
}

}  // namespace

struct QtToolkit::Shown {
    com::ComPtr<ui::IForm> form;  // a shown window lives until it unloads
    QPointer<FormView> view;
    QPointer<QWidget> frame;                 // the MDI sub-window, or the view itself as a dialog
    std::unique_ptr<QObject> closeRequests;  // a CloseRequests filter
    QEventLoop* loop = nullptr;
};

QtToolkit::QtToolkit(QMdiArea* area) : area_(area) {
    if (area_)
        activation_ = QObject::connect(area_, &QMdiArea::subWindowActivated,
                                       [this](QMdiSubWindow* frame) { Activated(frame); });
}

QtToolkit::~QtToolkit() {
    QObject::disconnect(activation_);
}

QtToolkit::Shown* QtToolkit::Find(ui::IForm& form) const {
    for (auto& s : shown_)
        if (s->form.Get() == &form) return s.get();
    return nullptr;
}

FormView* QtToolkit::ViewOf(ui::IForm& form) const {
    auto* s = Find(form);
    return s ? s->view.data() : nullptr;
}

void QtToolkit::ShowForm(ui::IForm& form, bool modal) {
    Shown* s = Find(form);
    if (!s) {
        auto entry = std::make_unique<Shown>();
        entry->form = &form;
        entry->view = new FormView(form);
        if (!modal && area_) {
            auto* sub = area_->addSubWindow(entry->view);
            sub->setAttribute(Qt::WA_DeleteOnClose, false);
            sub->adjustSize();
            entry->frame = sub;
        } else {
            entry->view->setParent(area_ ? area_->window() : nullptr, Qt::Dialog);
            entry->view->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
            entry->view->adjustSize();
            if (auto* owner = entry->view->parentWidget())  // over the middle of its owner
                entry->view->move(owner->geometry().center() - entry->view->rect().center());
            entry->frame = entry->view.data();
        }
        entry->closeRequests = std::make_unique<CloseRequests>(form);
        entry->frame->installEventFilter(entry->closeRequests.get());
        s = entry.get();
        shown_.push_back(std::move(entry));
    }
    // Showing activates the window once; the area's own activation signal is not a second one.
    active_ = &form;
    ShowInState(*s->frame, form.WindowState());
    s->frame->raise();
    s->frame->activateWindow();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(s->frame.data())) area_->setActiveSubWindow(sub);
    s->view->ApplyFocus();
    form.UserActivate();
    if (!modal || !form.Loaded()) return;
    QEventLoop loop;
    s->loop = &loop;
    loop.exec();
}

void QtToolkit::Activated(QMdiSubWindow* frame) {
    if (!frame) return;
    for (auto& s : shown_) {
        if (s->frame != frame || s->form.Get() == active_) continue;
        active_ = s->form.Get();
        com::ComPtr<ui::IForm> keep = s->form;
        try {
            keep->UserActivate();
        } catch (const com::ComError& e) {
            framework::ShowError(e, keep->Caption());
        }
        return;
    }
}

void QtToolkit::FormUnloaded(ui::IForm& form) {
    auto it = std::find_if(shown_.begin(), shown_.end(),
                           [&](const auto& s) { return s->form.Get() == &form; });
    if (it == shown_.end()) return;
    std::unique_ptr<Shown> s = std::move(*it);
    shown_.erase(it);
    if (active_ == &form) active_ = nullptr;
    if (s->frame) {
        s->frame->removeEventFilter(s->closeRequests.get());
        s->frame->hide();
        // The window may be unloading from inside one of its own widgets' events.
        s->frame->deleteLater();
    }
    if (s->loop) s->loop->quit();
    if (onUnloaded_) onUnloaded_(form);
}

void QtToolkit::FormChanged(ui::IForm& form) {
    if (auto* s = Find(form); s && s->view) {
        s->view->ApplyForm();
        const bool maximized = s->frame->isMaximized(), minimized = s->frame->isMinimized();
        const int32_t state = form.WindowState();
        if ((state == ui::vbMaximized) != maximized || (state == ui::vbMinimized) != minimized)
            ShowInState(*s->frame, state);
    }
}

void QtToolkit::FocusRequested(ui::IForm& form) {
    if (auto* s = Find(form); s && s->view) s->view->ApplyFocus();
}

int32_t QtToolkit::MessageBox(const std::string& text, int32_t flags, const std::string& title) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    if (!parent && area_) parent = area_->window();
    return ShowMessageBox(parent, text, flags, title);
}

void QtToolkit::Beep() {
    QApplication::beep();
}

}  // namespace gui
