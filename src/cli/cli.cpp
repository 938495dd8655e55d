#include "cli/cli.h"

#include <ostream>

#include "core/version.h"

namespace fhr::cli {

int Run(int, char**, std::istream&, std::ostream& out, std::ostream&) {
  out << ProgramTitle() << "\n";
  return 0;
}

}  // namespace fhr::cli
