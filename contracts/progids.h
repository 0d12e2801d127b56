#pragma once
// Program identifiers of the host's classes that a module creates.

namespace host::progid {
inline constexpr const char* LogService = "LogLib.LogService";
inline constexpr const char* MediaLink = "MediaLinkLib.CHyperMedia";
inline constexpr const char* ConnectionSupplier = "StdLib.ConnectionSupplier";
inline constexpr const char* RecordsetSupplier = "StdLib.RecordsetSupplier";
inline constexpr const char* RecordFrame = "RecordFrameLib.RecordFrame";
inline constexpr const char* GridSource = "GridControl.GridSource";
inline constexpr const char* Grid = "GridControl.Grid";
inline constexpr const char* NavBar = "NavBarControl.NavBar";
inline constexpr const char* Edit = "EditControl.Edit";
inline constexpr const char* Combo = "ComboControl.Combo";
inline constexpr const char* Toolbar = "ToolbarMenuControl.Toolbar";
inline constexpr const char* MdiHost = "MdiHostControl.MdiHost";
inline constexpr const char* Resize = "ResizeControl.Resize";
inline constexpr const char* Label = "LabelControl.Label";
inline constexpr const char* GroupBox = "GroupBoxControl.GroupBox";
}  // namespace host::progid
