#pragma once
// Text rules of the data fields, shared by the controls (input) and the frame (validation).

#include <string>
#include <string_view>

namespace framework {

// Upper case of a UTF-8 text: ASCII letters and the accented Latin letters (à -> À).
std::string ToUpperText(std::string_view text);
// Digits only, with an optional leading sign; the empty text is not a number.
bool IsWholeNumberText(std::string_view text);
// Number of characters (code points) of a UTF-8 text.
size_t CharCount(std::string_view text);
// Blanks only, or nothing.
bool IsBlank(std::string_view text);

}  // namespace framework
