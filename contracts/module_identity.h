#pragma once
// What names the module to its host: the program identifier the host creates it by, and the
// caption its window is designed with, which the host's menu entry shows too.

namespace host {

inline constexpr const char* kModuleProgId = "DRAVEL.CLSMG_QUINTAB";
inline constexpr const char* kModuleCaption = "Gestione determinazione contropartite";

}  // namespace host
