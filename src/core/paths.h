#pragma once
// Where the program's files live: the program directory (the programs, the
// plugins and their companion files) and the data directory (settings,
// database, GnuPG home). Settled once at start-up by ResolvePaths, a pure
// function of the program path, the environment and the file system, so both
// front ends and the tests reach the same answer.
#include <functional>
#include <optional>
#include <string>

namespace fhr {

// How the data directory was chosen, in the order the choices are tried.
enum class DataDirSource { Option, Environment, DataDirIni, Installed, Portable };

struct PathInputs {
  // Absolute path of the running program file (its directory is the
  // program directory; the name itself does not matter).
  std::string programPath;
  // Looks up an environment variable; nullopt when it is unset.
  std::function<std::optional<std::string>(const std::string&)> getenv;
  // The command line's --data-dir, when given.
  std::optional<std::string> dataDirOption;
};

// A message to the user that reports a failure of resolution.
struct PathProblem {
  std::string caption;
  std::string text;
};

struct ResolvedPaths {
  std::string appDir;     // program directory, ending with "/", case kept
  std::string dataDir;    // data directory, ending with "/"; empty if unusable
  std::string gnupgHome;  // GnuPG home: the data directory without the final "/"
  DataDirSource source = DataDirSource::Portable;
  // Reported to the user; resolution still goes on where it can (a bad
  // datadir.ini falls back to the ordinary rules).
  std::optional<PathProblem> warning;
  // Set when no usable data directory could be made; nothing can start.
  std::optional<PathProblem> error;

  // Both front ends use the base name "fhr", whatever their own file is
  // called, so they share one data directory.
  std::string IniFileName() const { return dataDir + "fhr.ini"; }
  std::string DbFileName() const { return dataDir + "fhr.db"; }
  std::string DbTempFileName() const { return DbFileName() + ".tmp"; }
  std::string LockFileName() const { return dataDir + "fhr.lock"; }
  std::string DefsFileName() const { return appDir + "fhr.defs.txt"; }
  std::string OldDefsFileName() const { return appDir + "fhrdefs.ini"; }
  std::string ServersFileName() const { return appDir + "fhr.servers.txt"; }
  std::string HistoryFileName() const { return appDir + "fhr.history.txt"; }
  std::string CompanionFileName() const { return appDir + "fhl"; }
  std::string DataDirIniFileName() const { return appDir + "datadir.ini"; }
};

// Decides the directories: --data-dir, then FHR_DATA_DIR, then the value
// "appdatadir" of datadir.ini beside the program, then the rule: a program
// under /usr/ or /opt/ keeps its data in $XDG_DATA_HOME/fernhill/fhl/ (by
// default ~/.local/share/fernhill/fhl/), any other keeps everything beside
// itself. A data directory that does not exist is created with mode 0700.
ResolvedPaths ResolvePaths(const PathInputs& in);

// PathInputs for this process: /proc/self/exe and the real environment.
PathInputs ProcessPathInputs(std::optional<std::string> dataDirOption);

// Sets GNUPGHOME and LANGUAGE for this process, so every GnuPG child
// inherits them. On failure returns the message to show.
std::optional<PathProblem> ApplyEnvironment(const ResolvedPaths& paths);

// The value given to LANGUAGE: GnuPG's texts are read by the program, so
// they must stay untranslated.
inline constexpr const char* kGpgLanguage = "en";

// Adds "/" when `path` is not empty and does not end with one.
std::string IncludeTrailingSeparator(std::string path);

}  // namespace fhr
