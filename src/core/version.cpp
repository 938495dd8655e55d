#include "core/version.h"

namespace fhr {

std::string ProgramTitle() { return std::string("Fernhill DIZ Mail  ") + kVersion; }

}  // namespace fhr
