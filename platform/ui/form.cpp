#include "platform/ui/form.h"

#include <algorithm>
#include <utility>

#include "platform/com/registry.h"
#include "platform/text/text.h"
#include "platform/ui/toolkit.h"

namespace ui {

bool SameControlName(const std::string& a, const std::string& b) {
    return txt::EqualNoCase(a, b);
}

namespace {

// Controls may outlive the window (the window's code holds them too): their focus handlers
// point at it.
void DetachFocusHandlers(const std::vector<com::ComPtr<IControl>>& controls) {
    for (auto& c : controls)
        if (auto f = c.As<IFocusRequester>()) f->SetFocusHandler(nullptr);
}

}  // namespace

Form::~Form() {
    DetachFocusHandlers(controls_);
}

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    NotifyToolkit();
}

void Form::SetWindowState(int32_t state) {
    if (state != vbNormal && state != vbMinimized && state != vbMaximized)
        throw com::ComError(com::err::InvalidCall,
                            "Invalid window state " + std::to_string(state) + " for " + name_);
    windowState_ = state;
    NotifyToolkit();
}

void Form::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
    geometry_ = {left, top, width, height};
    NotifyToolkit();
}

com::ComPtr<IControl> Form::Control(const std::string& name) {
    for (auto& c : controls_)
        if (SameControlName(c->Name(), name)) return c;
    return nullptr;
}

void Form::Load() {
    if (loaded_) return;
    com::ComPtr<IForm> keep(this);
    loaded_ = true;
    loading_ = true;
    unloadRequested_ = false;
    try {
        Form_Load();
    } catch (...) {
        loading_ = false;
        if (std::exchange(unloadRequested_, false)) Unload();
        throw;
    }
    loading_ = false;
    if (std::exchange(unloadRequested_, false)) Unload();
}

void Form::Show(bool modal) {
    com::ComPtr<IForm> keep(this);
    Load();
    if (!loaded_) return;  // the window closed itself while loading
    visible_ = true;
    modal_ = modal;
    for (auto& c : std::vector(controls_))
        if (auto s = c.As<IShowNotified>()) s->FormShown();
    if (!loaded_) return;
    Toolkit::Current().ShowForm(*this, modal);
}

void Form::Activate() {
    if (!loaded_) return;
    com::ComPtr<IForm> keep(this);
    Form_Activate();
}

void Form::Unload() {
    if (!loaded_ || unloading_) return;
    if (loading_) {
        unloadRequested_ = true;
        return;
    }
    com::ComPtr<IForm> keep(this);  // the toolkit may hold the last reference
    unloading_ = true;
    try {
        Form_Unload();
    } catch (...) {
        // The window goes away all the same; the caller still learns what failed.
        ReleaseControls();
        throw;
    }
    ReleaseControls();
}

void Form::ReleaseControls() {
    DetachFocusHandlers(controls_);
    controls_.clear();
    focused_.clear();
    loaded_ = false;
    visible_ = false;
    modal_ = false;
    unloading_ = false;
    Toolkit::Current().FormUnloaded(*this);
}

void Form::Focus(IControl& control) {
    if (!control.Visible() || !control.Enabled())
        throw com::ComError(com::err::InvalidCall,
                            "The control " + control.Name() + " cannot take the focus now");
    focused_ = control.Name();
    if (loaded_) Toolkit::Current().FocusRequested(*this);
}

void Form::AddControl(const com::ComPtr<IControl>& control, const std::string& name) {
    if (!control) throw com::ComError(com::err::ObjectNotSet, "No control to add as " + name);
    control->SetName(name);
    controls_.push_back(control);
    if (auto f = control.As<IFocusRequester>()) {
        IControl* raw = control.Get();  // the handler is taken back before the control goes
        f->SetFocusHandler([this, raw] { Focus(*raw); });
    }
}

void Form::RemoveControl(const std::string& name) {
    auto found = std::find_if(controls_.begin(), controls_.end(),
                              [&](const auto& c) { return SameControlName(c->Name(), name); });
    if (found == controls_.end()) return;
    DetachFocusHandlers({*found});
    if (SameControlName(focused_, name)) focused_.clear();
    controls_.erase(found);
}

void Form::ControlsChanged() {
    if (loaded_) Toolkit::Current().FormControlsChanged(*this);
}

com::ComPtr<IControl> Form::CreateControlObject(const std::string& progId,
                                                const std::string& name) {
    auto object = com::CreateObject(progId);
    auto control = object.As<IControl>();
    if (!control)
        throw com::ComError(com::err::TypeMismatch, progId + " is not a control (" + name + ")");
    AddControl(control, name);
    return control;
}

void Form::NotifyToolkit() {
    // A window that is not loaded has no view to update.
    if (loaded_) Toolkit::Current().FormChanged(*this);
}

}  // namespace ui
