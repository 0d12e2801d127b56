#pragma once
// Message catalogues compiled into the library (GNU gettext's binary form, made by msgfmt from
// framework/locale/*.po), so a running program never depends on where the sources or an install
// put them.

#include <string_view>

namespace framework::embedded {
extern const std::string_view kEnglishCatalogue;  // locale/en.po
}
