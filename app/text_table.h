#pragma once
// Rows of cells printed as columns, as a terminal shows them.

#include <string>
#include <vector>

namespace app {

// Each row as a line: every cell but the last padded with blanks to the widest cell of its
// column (in characters) and two more. A row's cells past the first row's count are left out.
std::vector<std::string> TextTable(const std::vector<std::vector<std::string>>& rows);

}  // namespace app
