#pragma once
// Starting other programs without waiting for them, and opening a folder in
// the desktop's file manager.
#include <functional>
#include <string>
#include <vector>

namespace fhr {

// Starts argv[0] (looked up in PATH when it has no "/") with the arguments
// argv[1..], never through a shell, so blanks and shell metacharacters reach
// the program unchanged. The program gets /dev/null as standard input, the
// caller's standard output and error, no other descriptor, default signal
// handling, its own session, and the caller's environment and directory. The
// call does not wait for the program and leaves no zombie behind. Returns
// whether the program could be started; callers may ignore it.
bool RunProgram(const std::vector<std::string>& argv);

// Opens a directory for the user; returns whether the request went out.
using DesktopOpener = std::function<bool(const std::string& dir)>;

// Installs the opener that OpenFolder uses (the desktop program installs one
// built on its toolkit); an empty function restores the default, which runs
// "xdg-open dir" through RunProgram. Returns the previous opener.
DesktopOpener SetDesktopOpener(DesktopOpener opener);

// Shows `dir` in the desktop's file manager through the installed opener.
bool OpenFolder(const std::string& dir);

}  // namespace fhr
