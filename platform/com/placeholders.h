#pragma once
// Messages built from a template: "%1", "%2", ... stand for the values, in the order given.

#include <string>
#include <vector>

namespace com {

// `text` with each %1, %2, ... replaced by its value, in one pass, so that a value that holds
// "%2" (a description may) stays as it is. A placeholder without a value stays as written.
std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& values);

}  // namespace com
