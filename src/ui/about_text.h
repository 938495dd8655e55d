#pragma once
// The About box's text.
#include <string>

namespace fhr {

// The program title, a line break, the program's notice line and four blanks.
std::string AboutText();

}  // namespace fhr
