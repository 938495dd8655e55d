#pragma once
// Which GnuPG program runs, in which home, with which command templates:
// the fixed part of every GnuPG operation.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "core/paths.h"

namespace fhr {

// The GnuPG program, its home and the settings file that holds the [gpg]
// templates. Operations take it by reference, so tests can point one at a
// private home.
struct GpgSetup {
  std::string program;       // a path, or a name looked up in PATH
  std::string home;          // GNUPGHOME: the data directory
  std::string settingsFile;  // the settings file ([gpg] program and templates)
  // A run that takes longer is killed: gpg never needs this long for a
  // news article or the database, so it is waiting for something that
  // will not come.
  std::chrono::milliseconds timeLimit{std::chrono::seconds(120)};
};

// The program to run: the setting "[gpg] program" when it is not empty; else
// a "gpg" executable in the program directory `appDir`; else "gpg1" from PATH.
std::string FindGpgProgram(const std::string& appDir, const std::string& settingsFile);

// The setup for the resolved directories of this run.
GpgSetup GpgSetupFor(const ResolvedPaths& paths);

// The built-in command template of an operation (the text after the
// program), or "" for an unknown name.
std::string_view DefaultTemplate(std::string_view operation);

// The names of every operation with a built-in template, in catalog order.
std::vector<std::string_view> OperationNames();

// The argument vector of an operation: the program, then the words of the
// template, which is read from the settings file's [gpg] section under the
// operation's name with `defaultTemplate` as default. The template is split
// at blanks before any placeholder is filled, so a value with blanks stays
// one argument.
std::vector<std::string> BuildGPGCommand(const GpgSetup& setup, std::string_view operation,
                                         std::string_view defaultTemplate);

// Replaces the first occurrence of `placeholder` in `args`. When an
// argument is exactly the placeholder it becomes the `values` as separate
// arguments (none when empty); inside a longer argument the values joined by
// blanks replace it. Returns false when no argument holds the placeholder.
bool ReplacePlaceholder(std::vector<std::string>& args, std::string_view placeholder,
                        const std::vector<std::string>& values);

// True when the GnuPG program can be started (an executable file at its path,
// or found in PATH). Otherwise shows the missing-file error box and returns
// false; no operation runs gpg then.
bool CheckGPGFiles(const GpgSetup& setup);

}  // namespace fhr
