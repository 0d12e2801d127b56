#pragma once
// The view of a window: one view per control, placed at the control's design geometry, with
// labels tied to the fields they name and the tab order of the layout.

#include <QWidget>
#include <memory>
#include <vector>

#include "gui/control_view.h"
#include "platform/ui/form.h"

namespace gui {

class FormView : public QWidget {
  public:
    explicit FormView(ui::IForm& form, QWidget* parent = nullptr);
    ~FormView() override;

    ui::IForm& Form() const { return *form_; }
    // The caption as the window has it now.
    void ApplyForm();
    // Makes the views again from the window's controls, which it has changed (the widget that
    // had the focus hands it to its successor of the same name).
    void RemakeViews();
    // Gives the input focus to the widget of the control the window focused.
    void ApplyFocus();
    // The size the container gives the window, in twips (its design size when none is set).
    QSize DesignSize() const;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    void MakeViews();
    void TieLabels();
    void OrderTabs();
    void Place();
    bool FollowsSize() const;

    com::ComPtr<ui::IForm> form_;
    std::vector<std::unique_ptr<ControlView>> views_;
};

}  // namespace gui
