#include "ui/about_text.h"

#include "core/version.h"

namespace fhr {

std::string AboutText() {
  return ProgramTitle() + "\nA reader for nym mail from alt.anonymous.messages, for Linux desktops.    ";
}

}  // namespace fhr
