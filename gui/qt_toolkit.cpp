#include "gui/qt_toolkit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "framework/controls/control_model.h"
#include "gui/form_view.h"
#include "gui/message_box.h"

namespace gui {

namespace {

void ShowInState(QWidget& frame, int32_t state) {
    if (state == ui::vbMaximized)
        frame.showMaximized();
    else if (state == ui::vbMinimized)
        frame.showMinimized();
    else
        frame.showNormal();
}

}  // namespace

// Closing a window's frame (its close button, Alt+F4) asks the window to unload; the frame goes
// away when it has. Over a modal window Esc does the same when nothing takes it: Esc is the
// navigation bar's "Annulla" while there is an edit to undo, and a dialog's Esc closes it after
// that, as dialogs do.
class QtToolkit::CloseRequests : public QObject {
  public:
    CloseRequests(QtToolkit& toolkit, ui::IForm& form, bool modal)
        : toolkit_(toolkit), form_(form), modal_(modal) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool escape = modal_ && event->type() == QEvent::KeyPress &&
                            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
                            static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
        if ((event->type() != QEvent::Close && !escape) || !form_.Loaded())
            return QObject::eventFilter(watched, event);
        event->ignore();
        toolkit_.UserClose(form_);
        return true;
    }

  private:
    QtToolkit& toolkit_;
    ui::IForm& form_;
    bool modal_;
};

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
        if (modal) entry->view->addActions(carried_);
        entry->closeRequests = std::make_unique<CloseRequests>(*this, form, modal);
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

void QtToolkit::UserClose(ui::IForm& form) {
    if (mayClose_ && !mayClose_(form)) return;
    try {
        form.UserClose();
    } catch (const com::ComError& e) {
        framework::ShowError(e, form.Caption());
    }
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

void QtToolkit::FormControlsChanged(ui::IForm& form) {
    if (auto* s = Find(form); s && s->view) s->view->RemakeViews();
}

void QtToolkit::FocusRequested(ui::IForm& form) {
    if (auto* s = Find(form); s && s->view) s->view->ApplyFocus();
}

int32_t QtToolkit::MessageBox(const std::string& text, int32_t flags, const std::string& title) {
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    if (!parent && area_) parent = area_->window();
    // The program waits for the user now, not for the database.
    const bool busy = busy_;
    if (busy) ShowBusy(false);
    const int32_t answer = ShowMessageBox(parent, text, flags, title);
    if (busy) ShowBusy(true);
    return answer;
}

// Nothing is drawn while a write waits for a lock: the status text is drawn at once (the
// status bar repaints its message itself), and the cursor changes at once.
void QtToolkit::ShowBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    if (onBusy_) onBusy_(busy);
}

void QtToolkit::Beep() {
    QApplication::beep();
}

}  // namespace gui
