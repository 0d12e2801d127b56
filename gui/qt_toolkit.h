#pragma once
// The toolkit on Qt: windows shown as sub-windows of an MDI area (modal ones as dialogs over
// the main window), real message boxes and the beep.

#include <QList>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/toolkit.h"

class QAction;
class QEventLoop;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace gui {

class FormView;

class QtToolkit : public ui::Toolkit {
  public:
    // Modeless windows go into `area`; without one they are top-level windows.
    explicit QtToolkit(QMdiArea* area = nullptr);
    ~QtToolkit() override;

    void ShowForm(ui::IForm& form, bool modal) override;
    void FormUnloaded(ui::IForm& form) override;
    void FormChanged(ui::IForm& form) override;
    void FocusRequested(ui::IForm& form) override;
    // The view is made again from the window's controls, in the same frame at the same size.
    void FormControlsChanged(ui::IForm& form) override;
    int32_t MessageBox(const std::string& text, int32_t flags, const std::string& title) override;
    void Beep() override;
    ui::IForm* ActiveForm() const override { return active_; }

    // The view of a shown window, nullptr when it has none.
    FormView* ViewOf(ui::IForm& form) const;
    // Told after a window has unloaded and its view is going away.
    void OnFormUnloaded(std::function<void(ui::IForm&)> handler) {
        onUnloaded_ = std::move(handler);
    }
    // Asked, with the window, before the user's close of its frame reaches it; false keeps it
    // open.
    void OnCloseRequested(std::function<bool(ui::IForm&)> handler) {
        mayClose_ = std::move(handler);
    }
    // Told when the busy sign comes and goes, besides the busy cursor.
    void OnBusy(std::function<void(bool)> handler) { onBusy_ = std::move(handler); }
    // Actions of the main window that act over modal windows too (quit): its own shortcuts do
    // not reach it while a modal window is up.
    void CarryIntoModalWindows(QList<QAction*> actions) { carried_ = std::move(actions); }

  protected:
    void ShowBusy(bool busy) override;

  private:
    struct Shown;
    class CloseRequests;
    Shown* Find(ui::IForm& form) const;
    void Activated(QMdiSubWindow* frame);
    void UserClose(ui::IForm& form);

    QPointer<QMdiArea> area_;
    QMetaObject::Connection activation_;
    std::vector<std::unique_ptr<Shown>> shown_;
    ui::IForm* active_ = nullptr;
    std::function<void(ui::IForm&)> onUnloaded_;
    std::function<bool(ui::IForm&)> mayClose_;
    std::function<void(bool)> onBusy_;
    QList<QAction*> carried_;
    bool busy_ = false;  // the sign is shown
};

}  // namespace gui
