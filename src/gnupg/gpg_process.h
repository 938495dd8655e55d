#pragma once
// Running the GnuPG program once: a child process with its standard streams
// and up to three extra channels (status, attribute, passphrase) on pipes,
// fed and drained by one poll() loop on the calling thread.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/stringlist.h"

namespace fhr {

// The placeholders of a command that the runner fills with the numbers of
// the child's extra descriptors.
inline constexpr std::string_view kStatPlaceholder = "%stat%";
inline constexpr std::string_view kAttrPlaceholder = "%attr%";
inline constexpr std::string_view kPassPlaceholder = "%pass%";

// One "[GNUPG:] KEYWORD ARG ARG..." line, split at blanks.
struct StatusLine {
  std::string keyword;
  std::vector<std::string> args;
};

// Parses a status line; nullopt when it does not start with "[GNUPG:] ".
std::optional<StatusLine> ParseStatusLine(const std::string& line);

// What one run of the program left behind.
struct GpgRun {
  bool started = false;   // the child process was started
  bool finished = false;  // ... and ended by itself (not killed at the time limit)
  bool timedOut = false;  // killed because it ran past the time limit
  int exitCode = -1;      // its exit status; -1 unless it exited normally
  std::string output;     // everything written to standard output
  StringList errorLines;  // standard error, split into lines
  StringList statusLines;     // the status channel's lines, as written
  std::vector<StatusLine> status;  // those lines that are "[GNUPG:]" lines, parsed
  StringList attributeLines;  // the attribute channel's lines
  // A set-up or transfer failure: one of the program's fixed prefixes
  // followed by the system's description. Empty when there was none.
  std::string failure;

  // True when a status line has exactly this keyword (the second word).
  bool HasStatus(std::string_view keyword) const;
  // The first status line with this keyword, or null.
  const StatusLine* FindStatus(std::string_view keyword) const;
  // Started, ended by itself and exited with status 0.
  bool Succeeded() const { return finished && exitCode == 0; }
};

// Everything needed to start the program once.
struct GpgInvocation {
  std::string program;  // a path, or a name looked up in PATH
  // The arguments after the program. The first argument containing each of
  // %stat%, %attr% and %pass% gets that placeholder replaced by the child's
  // descriptor number of that channel; a channel whose placeholder does not
  // occur is not created.
  std::vector<std::string> arguments;
  std::string home;  // GNUPGHOME for the child
  // Standard input; without it the child gets an empty one (end of file at once).
  std::optional<std::string_view> input;
  // Written to the passphrase channel, which is then closed; without one
  // the channel is closed at once, so gpg never waits for it.
  const std::string* passphrase = nullptr;
  // After this the child (and anything it started) is killed.
  std::chrono::milliseconds timeLimit{std::chrono::seconds(120)};
};

// Starts the program without a shell, in a session of its own (so without a
// controlling terminal), with default signal handling, no descriptor of
// ours beyond its channels, and the caller's environment with GNUPGHOME,
// LC_ALL=C and LANGUAGE=en set. Writes the input and the passphrase while
// reading every output, so any amount of data flows both ways; a child that
// ends without reading its input is no error (SIGPIPE is ignored in this
// process from the first call on). Returns when the child has ended and
// every output is drained, or when the time limit passed and the child was
// killed. Set-up failures come back in `failure` with `started` false (the
// child is then not left running). Safe to call from any thread.
GpgRun RunGpgProcess(const GpgInvocation& invocation);

}  // namespace fhr
