#pragma once
// The host's controls as a module uses them. Every control also implements ui::IControl
// (name, geometry, focus) from platform/ui. Members throw com::ComError.

#include <string>

#include "contracts/cinterface.h"

namespace ado {
class Recordset;
}

namespace host {

// A control bound to a column of the record frame's current row. Also late-bound (IDispatch)
// with the properties DBField and Text.
struct IBoundControl : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B40");
    virtual std::string DBField() = 0;
    virtual void SetDBField(const std::string& column) = 0;
    virtual std::string Text() = 0;
    virtual void SetText(const std::string& text) = 0;
    // Design settings.
    virtual void SetRequired(bool required) = 0;   // obbligatorio
    virtual void SetMaxChar(int32_t maxChar) = 0;  // maxchar

  protected:
    ~IBoundControl() = default;
};

// Display formats of an edit field.
namespace display_format {
inline constexpr const char* Any = "Qualsiasi";
inline constexpr const char* Upper = "Maiuscolo";
}  // namespace display_format

struct IEditControl : IBoundControl {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B41");
    using Base = IBoundControl;
    virtual void FocusField() = 0;
    // The availability switch: the field takes input and focus only while it is on.
    virtual bool Available() = 0;
    virtual void SetAvailable(bool on) = 0;
    virtual void SetDisplayFormat(const std::string& format) = 0;  // displayformat
    virtual void SetNumeric(bool on) = 0;                          // numerico
    virtual void SetCharacter(bool on) = 0;                        // carattere
    virtual void SetEnabled(bool on) = 0;                          // enabled
    virtual void SetIsOrder(bool on) = 0;                          // isorder
    virtual void SetMaxWidth(int32_t chars) = 0;                   // maxwidth
    virtual void SetCaption(const std::string& caption) = 0;       // caption
    virtual void SetTag(const std::string& tag) = 0;               // tag

  protected:
    ~IEditControl() = default;
};

struct IEditEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B42");
    // The field received the input focus. `field` is the control that raised it.
    virtual HRESULT GotFocus(IEditControl* field) noexcept = 0;

  protected:
    ~IEditEvents() = default;
};

struct IComboControl : IBoundControl {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B43");
    using Base = IBoundControl;
    virtual void ClearList() = 0;
    virtual void AddEntry(const std::string& label, const com::Variant& value) = 0;
    virtual void SetListSetting(int32_t value) = 0;
    virtual int32_t SelectedIndex() = 0;  // -1 when none
    virtual com::Variant ItemValue(int32_t index) = 0;
    virtual void SetDbCol(int32_t column) = 0;  // dbcol

  protected:
    ~IComboControl() = default;
};

// The source object of a grid.
struct IGridSource : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B44");
    virtual void SetModule(Cinterface* module) = 0;
    virtual void SetRecordset(ado::Recordset* recordset) = 0;
    virtual void SetFilter(const std::string& filter) = 0;
    virtual void SetLoadMode(int32_t mode) = 0;
    virtual void SetAutoRefresh(bool on) = 0;

  protected:
    ~IGridSource() = default;
};

struct IGridControl : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B45");
    virtual void SetSourceObject(IGridSource* source) = 0;
    virtual void AddColumn(const std::string& column, const std::string& caption, int32_t kind,
                           int32_t width, bool flag) = 0;
    virtual void ColumnsDone() = 0;
    virtual void GridReady() = 0;
    virtual void SetFocus() = 0;
    // Design settings.
    virtual void SetGridLoadMode(int32_t mode) = 0;
    virtual void SetColorTheme(int32_t theme) = 0;
    virtual void SetDataFormatEnabled(bool on) = 0;
    virtual void SetPreviewFont(const std::string& font, int32_t color) = 0;

  protected:
    ~IGridControl() = default;
};

struct IGridEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B46");
    virtual HRESULT FormatCell(std::string& text, const std::string& column,
                               const com::Variant& extra) noexcept = 0;

  protected:
    ~IGridEvents() = default;
};

struct INavBar : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B47");
    virtual bool ChangesPending() = 0;
    virtual void SetChangesPending(bool pending) = 0;
    // The two objects the bar holds (the frame and the grid it drives); unset on unload.
    virtual void SetFrameObject(com::IUnknown* frame) = 0;
    virtual void SetGridObject(com::IUnknown* grid) = 0;
    // Design settings: whether the bar moves by itself on these buttons.
    virtual void SetAutoMoves(bool last, bool previous, bool next) = 0;

  protected:
    ~INavBar() = default;
};

// Navigation bar button keys.
namespace nav_key {
inline constexpr const char* New = "Nuovo";
inline constexpr const char* Confirm = "Conferma";
inline constexpr const char* Undo = "Annulla";
inline constexpr const char* Delete = "Elimina";
inline constexpr const char* Next = "Avanti";
inline constexpr const char* Previous = "Indietro";
inline constexpr const char* Export = "Esporta";
}  // namespace nav_key

struct INavBarEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B48");
    virtual HRESULT ButtonAction(int32_t flag, const std::string& key) noexcept = 0;

  protected:
    ~INavBarEvents() = default;
};

// One toolbar with one picture button; control arrays are several toolbars with an index.
struct IToolbar : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B49");
    virtual int16_t Index() = 0;
    virtual void SetIndex(int16_t index) = 0;
    virtual void SetPicture(
        const std::string& picture) = 0;     // "right", "left", "up", "down", "refresh"
    virtual void SetMenuPopup(bool on) = 0;  // ismenupopup

  protected:
    ~IToolbar() = default;
};

struct IToolbarEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B4A");
    // The button was pressed; `toolbar` is the element that raised it (its Index tells which).
    virtual HRESULT ButtonClick(IToolbar* toolbar) noexcept = 0;

  protected:
    ~IToolbarEvents() = default;
};

struct IMdiHost : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B4B");
    virtual void PlaceWindow(com::Variant& left, com::Variant& top, int32_t width,
                             int32_t height) = 0;
    virtual void SetContainerWindowState(int32_t state) = 0;
    virtual void SetShowInTaskList(bool on) = 0;
    virtual void SetAutoMaximize(bool on) = 0;

  protected:
    ~IMdiHost() = default;
};

struct IMdiHostEvents : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B4C");
    virtual HRESULT FormLoad() noexcept = 0;

  protected:
    ~IMdiHostEvents() = default;
};

struct IResizeControl : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B4D");
    virtual void SetResizeOwner(Cinterface* owner) = 0;
    virtual void StartResize() = 0;

  protected:
    ~IResizeControl() = default;
};

// Labels and group boxes only show a caption.
struct ICaptionControl : com::IUnknown {
    static constexpr com::Guid IID = com::Guid::Parse("7A1D0B31-0C2E-4F44-8B6A-1E5D3C9A0B4E");
    virtual std::string Caption() = 0;
    virtual void SetCaption(const std::string& caption) = 0;

  protected:
    ~ICaptionControl() = default;
};

}  // namespace host
