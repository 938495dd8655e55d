#pragma once
// Whole numbers written as text in settings and similar files.
#include <optional>
#include <string_view>

namespace fhr {

// The value of `text` read as a 32-bit integer: blanks around it ignored, an
// optional "+" or "-", then decimal digits, or "$" or "0x" followed by up to
// eight hexadecimal digits (taken as a 32-bit pattern, so "$FFFFFFFF" is
// -1, the form colour values are often written in). Nothing when the text is
// empty, holds anything else, or does not fit.
std::optional<int> ParseInteger(std::string_view text);

}  // namespace fhr
