#pragma once
// The program's version and title, as shown in captions and the About box.
#include <string>

namespace fhr {

inline constexpr const char* kVersion = "0.9d11";
// "Fernhill DIZ Mail", two blanks, the version.
std::string ProgramTitle();
// Title of the application as the desktop lists it.
inline constexpr const char* kApplicationTitle = "Fernhill DIZ";

}  // namespace fhr
