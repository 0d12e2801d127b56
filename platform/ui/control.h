#pragma once
// What every control of a form is, and the user's side of the controls: the operations that a
// person performs (the headless driver calls them, the Qt views call them on clicks and keys).

#include <functional>
#include <string>
#include <vector>

#include "platform/com/variant.h"

namespace ui {

// Geometry in twips (1440 to the inch).
struct Rect {
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

struct IControl : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F00");
    virtual std::string Name() = 0;
    virtual void SetName(const std::string& name) = 0;
    // What kind of control this is, for views: "edit", "combo", "grid", "navbar", "toolbar",
    // "tree", "list", "label", "groupbox", "mdihost", "resize".
    virtual std::string Kind() = 0;
    virtual Rect Geometry() = 0;
    virtual void SetGeometry(const Rect& r) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool on) = 0;
    virtual bool Enabled() = 0;  // accepts user input
    // Observers are told after any change of the control's state (views redraw).
    virtual int AddObserver(std::function<void()> changed) = 0;
    virtual void RemoveObserver(int id) = 0;

  protected:
    ~IControl() = default;
};

// A field the user types into.
struct ITextInput : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F01");
    virtual std::string DisplayText() = 0;
    // The user replaces the text (as typing and leaving the field does). Error when the field
    // does not take input.
    virtual void UserType(const std::string& text) = 0;
    // The user puts the focus in the field.
    virtual void UserFocus() = 0;

  protected:
    ~ITextInput() = default;
};

// A list of labelled values the user chooses from.
struct IChoiceInput : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F02");
    virtual std::vector<std::string> Labels() = 0;
    virtual int32_t SelectedIndex() = 0;
    // The user chooses the entry whose value equals `value`; error when there is none.
    virtual void UserChooseValue(const com::Variant& value) = 0;
    virtual void UserChooseIndex(int32_t index) = 0;

  protected:
    ~IChoiceInput() = default;
};

// A bar of buttons known by their key texts.
struct IButtonBar : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F03");
    virtual std::vector<std::string> Keys() = 0;
    virtual bool KeyEnabled(const std::string& key) = 0;
    virtual void UserPress(const std::string& key) = 0;

  protected:
    ~IButtonBar() = default;
};

// A single push button (a toolbar with one button).
struct IPushButton : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F04");
    virtual std::string Picture() = 0;
    // The element's index in its control array (the toolbars of an array share one name).
    virtual int16_t ArrayIndex() = 0;
    virtual void UserPress() = 0;

  protected:
    ~IPushButton() = default;
};

// Lines of cells as displayed (a grid).
struct ILineView : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F05");
    virtual std::vector<std::string> ColumnCaptions() = 0;
    virtual std::vector<int32_t> ColumnWidths() = 0;  // twips
    virtual int32_t LineCount() = 0;
    virtual std::vector<std::string> LineCells(int32_t line) = 0;  // 1-based, formatted cells
    virtual int32_t CurrentLine() = 0;                             // 1-based, 0 when none
    virtual void UserSelectLine(int32_t line) = 0;
    virtual void UserFocus() = 0;

  protected:
    ~ILineView() = default;
};

// A caption (labels, group boxes).
struct ICaptioned : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F06");
    virtual std::string DisplayCaption() = 0;

  protected:
    ~ICaptioned() = default;
};

// A control that wants to know when its window is shown (a container that takes the window in
// raises its own load notification then). Form::Show calls it before the toolkit shows the window.
struct IShowNotified : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F07");
    virtual void FormShown() = 0;

  protected:
    ~IShowNotified() = default;
};

// A control that takes the focus by code (its own SetFocus) asks its window for it: the window
// hands each such control a handler when it adds it and takes the handler back when it unloads.
struct IFocusRequester : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("3C0E6B50-2F1A-4E7B-9C2D-5A8B7E6D1F08");
    virtual void SetFocusHandler(std::function<void()> handler) = 0;

  protected:
    ~IFocusRequester() = default;
};

}  // namespace ui
