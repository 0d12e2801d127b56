#pragma once
// The view of one control: a widget that shows the control model and hands the user's clicks
// and keys to the model's user operations. A view has no behaviour of its own: every rule runs
// in the model (and the window behind it), exactly as under the headless driver.

#include <QFocusEvent>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/ui/control.h"

namespace gui {

class ControlView {
  public:
    ControlView(com::ComPtr<ui::IControl> control, QWidget* widget);
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    QWidget* Widget() const { return widget_; }
    ui::IControl& Control() const { return *control_; }
    // Whether the user can reach it with Tab.
    virtual bool TakesFocus() const { return widget_->focusPolicy() & Qt::TabFocus; }
    // Redraws the widget from the model now (signals of the widget are blocked meanwhile).
    void Refresh();
    // Redraws every view whose model changed since it was last drawn.
    static void RedrawWaiting();
    // The model is focused by code: the widget takes the focus without telling the model again.
    virtual void TakeModelFocus();

  protected:
    // Shows the model's own state; Refresh has done visibility and input already.
    virtual void Show() = 0;
    // Runs a user operation on the model. A refusal (the control takes no input now, a text it
    // cannot hold) beeps; either way the widget then shows the model again.
    void Act(const std::function<void()>& operation);
    // Tells the model that the user focused the widget, unless the focus came from the model.
    void UserFocused(const std::function<void()>& operation);

  private:
    void ScheduleRefresh();

    com::ComPtr<ui::IControl> control_;
    QPointer<QWidget> widget_;
    int observer_ = 0;
    bool scheduled_ = false;
    bool modelFocus_ = false;
};

// A widget that tells when it receives the input focus.
template <class W>
class FocusReporting : public W {
  public:
    using W::W;
    std::function<void()> focused;

  protected:
    void focusInEvent(QFocusEvent* e) override {
        W::focusInEvent(e);
        if (focused) focused();
    }
};

// The view `View` over a control when it is the model `Model`; nullptr otherwise.
template <class Model, class View>
std::unique_ptr<ControlView> MakeViewOf(const com::ComPtr<ui::IControl>& control, QWidget* parent) {
    auto* model = dynamic_cast<Model*>(control.Get());
    if (!model) return nullptr;
    return std::make_unique<View>(*model, control, parent);
}

// The view for a control, by its kind; nullptr for controls that show nothing (the container,
// the resize control).
std::unique_ptr<ControlView> MakeView(const com::ComPtr<ui::IControl>& control, QWidget* parent);

}  // namespace gui
