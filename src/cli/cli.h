#pragma once
// The command-line front end: parses the global options and runs one
// subcommand over the data directory's files.
#include <iosfwd>

namespace fhr::cli {

// Runs fhr-cli with the given arguments. Returns the process exit status:
// 0 on success, non-zero after a one-line error on `err`.
int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace fhr::cli
