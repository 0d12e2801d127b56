#pragma once
// The forms runtime: a window with its controls, loaded, shown, activated and unloaded.
// A concrete window derives from Form (through com::ComObject) and overrides the Form_ hooks.

#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace ui {

// Control names compare ignoring letter case, as the forms runtime always has.
bool SameControlName(const std::string& a, const std::string& b);

enum WindowState : int32_t { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

struct IForm : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F10");
    virtual std::string Name() = 0;
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual int32_t WindowState() = 0;
    virtual void SetWindowState(int32_t state) = 0;
    virtual Rect Geometry() = 0;
    virtual void Move(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual bool Loaded() = 0;
    virtual bool Visible() = 0;
    virtual bool Modal() = 0;
    virtual std::vector<com::ComPtr<IControl>> Controls() = 0;
    virtual com::ComPtr<IControl> Control(const std::string& name) = 0;  // unset when none
    virtual std::string FocusedControl() = 0;                            // name, "" when none
    // The user's side.
    virtual void UserActivate() = 0;
    virtual void UserClose() = 0;

  protected:
    ~IForm() = default;
};

class Form : public IForm {
  public:
    std::string Name() override { return name_; }
    std::string Caption() override { return caption_; }
    void SetCaption(const std::string& caption) override;
    int32_t WindowState() override { return windowState_; }
    void SetWindowState(int32_t state) override;
    Rect Geometry() override { return geometry_; }
    void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
    bool Loaded() override { return loaded_; }
    bool Visible() override { return visible_; }
    bool Modal() override { return modal_; }
    std::vector<com::ComPtr<IControl>> Controls() override { return controls_; }
    com::ComPtr<IControl> Control(const std::string& name) override;
    std::string FocusedControl() override { return focused_; }
    void UserActivate() override { Activate(); }
    void UserClose() override { Unload(); }

    // Runs Form_Load once. A window that unloads itself during its load stays unloaded: the unload
    // is deferred until Form_Load returns (the load's own code keeps its controls), then it runs
    // in full (Form_Unload, controls released, toolkit told). A Form_Load that fails leaves the
    // window loaded as far as it got; the error goes to the caller.
    void Load();
    // Loads when needed, then shows through the toolkit: modeless returns at once, modal returns
    // after the window has unloaded. Showing activates the window.
    void Show(bool modal = false);
    // Runs Form_Activate (the toolkit calls it whenever the window becomes active).
    void Activate();
    // Runs Form_Unload and releases the controls; a window not loaded does nothing.
    void Unload();

  protected:
    Form() = default;
    virtual ~Form();
    void SetName(const std::string& name) { name_ = name; }

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Unload() {}

    // Adds a control to the window (it appears in Controls() under `name`).
    void AddControl(const com::ComPtr<IControl>& control, const std::string& name);
    // Takes the control with this name off the window; nothing when there is none.
    void RemoveControl(const std::string& name);
    // Tells the toolkit, once the controls have been added and removed, that a view of the
    // loaded window is to be made again.
    void ControlsChanged();
    // Creates a host control by program identifier and adds it; error 429 when it cannot be made.
    template <class I>
    com::ComPtr<I> CreateControl(const std::string& progId, const std::string& name) {
        auto c = CreateControlObject(progId, name);
        auto typed = c.template As<I>();
        if (!typed)
            throw com::ComError(com::err::TypeMismatch, progId + " is not the control asked for");
        return typed;
    }

  private:
    com::ComPtr<IControl> CreateControlObject(const std::string& progId, const std::string& name);
    void NotifyToolkit();
    void ReleaseControls();
    void Focus(IControl& control);

    std::string name_;
    std::string caption_;
    int32_t windowState_ = vbNormal;
    Rect geometry_;
    bool loaded_ = false;
    bool loading_ = false;
    bool unloadRequested_ = false;
    bool unloading_ = false;
    bool visible_ = false;
    bool modal_ = false;
    std::string focused_;
    std::vector<com::ComPtr<IControl>> controls_;
};

}  // namespace ui
