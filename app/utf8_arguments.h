#pragma once
// The programs' door for their arguments: text that is not UTF-8 (a value typed in a Latin-1
// terminal, say) would be stored or logged as it stands and break every report of it later.

#include <ostream>

namespace app {

// 0 when every argument is UTF-8; otherwise says on `err` which one is not, as `program` would,
// and returns 2 (could not run).
int RefuseNonUtf8Arguments(const char* program, int argc, char** argv, std::ostream& err);

}  // namespace app
