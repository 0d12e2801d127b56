#pragma once
// Databases of generated criteria for the benchmarks, built once per size in a temporary folder
// and removed when the program ends.

#include <string>

namespace bench {

// The file of a database whose company 1 holds `criteria` criteria (at most 99,999).
std::string CriteriaDatabase(int criteria);

}  // namespace bench
