#pragma once
// The views of each kind of control (one file each); MakeView picks among them.

#include <memory>

#include "gui/control_view.h"

namespace gui {

// Each returns nullptr when the control is not the model its view shows.
std::unique_ptr<ControlView> MakeEditView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeComboView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeGridView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeNavBarView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeToolbarView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeTreeView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeListView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeLabelView(const com::ComPtr<ui::IControl>&, QWidget* parent);
std::unique_ptr<ControlView> MakeGroupBoxView(const com::ComPtr<ui::IControl>&, QWidget* parent);

}  // namespace gui
