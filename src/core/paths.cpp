#include "core/paths.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ini_file.h"

namespace fhr {
namespace {

std::string DirectoryOf(const std::string& file) {
  auto slash = file.rfind('/');
  return slash == std::string::npos ? std::string("./") : file.substr(0, slash + 1);
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Absolute(const std::string& path, const std::string& base) {
  if (path.empty() || path.front() == '/') return path;
  return IncludeTrailingSeparator(base) + path;
}

// Creates `dir` and every missing parent with mode 0700, so a new data
// directory is private from the moment it exists.
bool MakeDirectories(const std::string& dir, int* err) {
  std::string partial;
  size_t pos = 0;
  while (pos < dir.size()) {
    size_t next = dir.find('/', pos + 1);
    if (next == std::string::npos) next = dir.size();
    partial = dir.substr(0, next);
    pos = next;
    if (partial.empty() || partial == "/") continue;
    if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) {
      *err = errno;
      return false;
    }
  }
  if (!IsDirectory(dir)) {
    *err = ENOTDIR;
    return false;
  }
  return true;
}

PathProblem DataDirProblem(const std::string& dir, int err) {
  return {"ERROR", "I was unable to create the data directory '" + dir +
                       "'.\nThe error reported was:\n\n" + strerror(err)};
}

// The value of "appdatadir" in datadir.ini beside the program; nullopt when
// there is no such file.
std::optional<std::string> DataDirIniValue(const std::string& iniFile) {
  struct stat st {};
  if (stat(iniFile.c_str(), &st) != 0) return std::nullopt;
  return IniFile(iniFile).Read("settings", "appdatadir").value_or("");
}

}  // namespace

std::string IncludeTrailingSeparator(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

ResolvedPaths ResolvePaths(const PathInputs& in) {
  ResolvedPaths out;
  out.appDir = DirectoryOf(in.programPath);
  auto env = [&](const char* name) -> std::string {
    auto v = in.getenv ? in.getenv(name) : std::nullopt;
    return v.value_or("");
  };

  std::string chosen;
  if (in.dataDirOption && !in.dataDirOption->empty()) {
    out.source = DataDirSource::Option;
    chosen = *in.dataDirOption;
  } else if (!env("FHR_DATA_DIR").empty()) {
    out.source = DataDirSource::Environment;
    chosen = env("FHR_DATA_DIR");
  } else if (auto ini = DataDirIniValue(out.DataDirIniFileName())) {
    std::string dir = Absolute(*ini, out.appDir);
    if (IsDirectory(dir)) {
      out.source = DataDirSource::DataDirIni;
      chosen = dir;
    } else {
      // Reported once; the ordinary rules below still give the user a
      // working data directory.
      out.warning = PathProblem{"ERROR", "The 'appdatadir' directory specified in datadir.ini doesn't exist!"};
    }
  }

  if (chosen.empty()) {
    if (out.appDir.starts_with("/usr/") || out.appDir.starts_with("/opt/")) {
      out.source = DataDirSource::Installed;
      std::string base = env("XDG_DATA_HOME");
      if (base.empty() || base.front() != '/') {
        std::string home = env("HOME");
        if (home.empty() || home.front() != '/') {
          out.error = PathProblem{"ERROR", "I was unable to find your home directory: HOME is not set."};
          return out;
        }
        base = IncludeTrailingSeparator(home) + ".local/share";
      }
      chosen = IncludeTrailingSeparator(base) + "fernhill/fhl/";
    } else {
      out.source = DataDirSource::Portable;
      chosen = out.appDir;
    }
  }

  char cwd[PATH_MAX];
  std::string base = getcwd(cwd, sizeof cwd) ? std::string(cwd) : out.appDir;
  chosen = IncludeTrailingSeparator(Absolute(chosen, base));
  int err = 0;
  if (!MakeDirectories(chosen.substr(0, chosen.size() - 1), &err)) {
    out.error = DataDirProblem(chosen, err);
    return out;
  }
  out.dataDir = chosen;
  out.gnupgHome = chosen.substr(0, chosen.size() - 1);
  return out;
}

PathInputs ProcessPathInputs(std::optional<std::string> dataDirOption) {
  PathInputs in;
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  in.programPath = n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("./fhr");
  in.getenv = [](const std::string& name) -> std::optional<std::string> {
    const char* v = ::getenv(name.c_str());
    if (!v) return std::nullopt;
    return std::string(v);
  };
  in.dataDirOption = std::move(dataDirOption);
  return in;
}

std::optional<PathProblem> ApplyEnvironment(const ResolvedPaths& paths) {
  auto fail = [](const char* name) {
    return PathProblem{"ERROR", std::string("I was unable to set the environment variable '") + name +
                                    "'.\nThe error reported was:\n\n" + strerror(errno)};
  };
  if (setenv("GNUPGHOME", paths.gnupgHome.c_str(), 1) != 0) return fail("GNUPGHOME");
  if (setenv("LANGUAGE", kGpgLanguage, 1) != 0) return fail("LANGUAGE");
  return std::nullopt;
}

}  // namespace fhr
