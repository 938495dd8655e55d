#pragma once
// What a subcommand of fhr-cli gets to work with, and how it is listed.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "core/datadir_lock.h"
#include "core/paths.h"

namespace fhr::cli {

// Answers given on the command line to the engine's questions.
struct Answers {
  std::optional<bool> yes;   // --yes / --no
  std::optional<long long> count;  // --count N
  std::optional<int> passphraseFd;  // --passphrase-fd N
};

struct Context {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  ResolvedPaths paths;
  Answers answers;
  // The command line's --data-dir, for OpenDataDir.
  std::optional<std::string> dataDirOption;
  // Held while a command that reads or writes the data directory runs.
  std::optional<DataDirLock> lock;
};

// A failure a command reports: one line on stderr and a non-zero status.
struct CommandError {
  std::string message;
  int status = 1;
};

struct Command {
  const char* name;
  const char* usage;    // arguments after the name, for --help
  const char* summary;  // one line for --help
  // Commands that touch the data directory run with its lock held; others
  // get only the program directory (ctx.paths.appDir) and may call
  // OpenDataDir for the verbs that need it.
  bool needsDataDir;
  // Returns the exit status; throws nothing.
  int (*run)(Context& ctx, const std::vector<std::string>& args);
};

// Every subcommand, in the order --help lists them.
const std::vector<Command>& Commands();

// Settles the data directory, takes its lock and sets GnuPG's environment.
// Returns 0, or the exit status after a one-line error. Does nothing when
// the directory is already open.
int OpenDataDir(Context& ctx);

// Prints "fhr-cli: " + message to ctx.err and returns `status`.
int Fail(Context& ctx, const std::string& message, int status = 1);

}  // namespace fhr::cli
