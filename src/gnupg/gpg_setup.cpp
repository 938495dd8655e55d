#include "gnupg/gpg_setup.h"

#include <unistd.h>

#include <cstdlib>

#include "core/msgdialog.h"
#include "core/settings.h"

namespace fhr {

namespace {

struct Template {
  std::string_view operation;
  std::string_view text;
};

constexpr Template kTemplates[] = {
    {"listencryptionkeys", " --status-fd %stat% --batch -v -v --decrypt --list-only"},
    {"listencryptionkeysfromfile", " --status-fd %stat% --batch -v -v --decrypt --list-only %filename%"},
    {"verifyclear", " --status-fd %stat% -d --verify-options show-primary-uid-only"},
    {"decrypt",
     " --status-fd %stat% --batch --no-tty --yes --passphrase-fd %pass% -v -d --verify-options "
     "show-primary-uid-only"},
    {"decryptdb", " --status-fd %stat% --batch --no-tty --yes --passphrase-fd %pass% -d -v %filename%"},
    {"encryptdb", " --status-fd %stat% --batch --no-tty --passphrase-fd %pass% --yes -c --output %filename%"},
    {"encryptstringtostream", " --status-fd %stat% --batch --no-tty --passphrase-fd %pass% -c"},
    {"decryptstreamtostring", " --status-fd %stat% --batch --no-tty --passphrase-fd %pass% -d"},
    {"listpublickeyswithcolons", " --status-fd %stat% --batch --list-public-keys --with-colons --with-fingerprint"},
    {"listsecretkeyswithcolons", " --status-fd %stat% --batch --list-secret-keys --with-colons --with-fingerprint"},
    {"exportkeys", " --status-fd %stat% --batch %armor% --export %keyids%"},
};

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

bool IsExecutableFile(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

// Whether `program` names something that can be started: a path as it is,
// a bare name through PATH.
bool CanStart(const std::string& program) {
  if (program.empty()) return false;
  if (program.find('/') != std::string::npos) return IsExecutableFile(program);
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/bin:/bin";
  while (true) {
    const auto colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    if (dir.empty()) dir = ".";
    if (IsExecutableFile(dir + "/" + program)) return true;
    if (colon == std::string_view::npos) return false;
    dirs.remove_prefix(colon + 1);
  }
}

std::string BaseName(const std::string& program) {
  const auto slash = program.rfind('/');
  return slash == std::string::npos ? program : program.substr(slash + 1);
}

}  // namespace

std::string FindGpgProgram(const std::string& appDir, const std::string& settingsFile) {
  std::string configured = Settings(settingsFile).Read(kGpgSection, "program");
  if (!configured.empty()) return configured;
  const std::string beside = IncludeTrailingSeparator(appDir) + "gpg";
  if (!appDir.empty() && IsExecutableFile(beside)) return beside;
  return "gpg1";
}

GpgSetup GpgSetupFor(const ResolvedPaths& paths) {
  GpgSetup setup;
  setup.settingsFile = paths.IniFileName();
  setup.program = FindGpgProgram(paths.appDir, setup.settingsFile);
  setup.home = paths.gnupgHome;
  return setup;
}

std::string_view DefaultTemplate(std::string_view operation) {
  for (const Template& t : kTemplates) {
    if (t.operation == operation) return t.text;
  }
  return {};
}

std::vector<std::string_view> OperationNames() {
  std::vector<std::string_view> names;
  for (const Template& t : kTemplates) names.push_back(t.operation);
  return names;
}

std::vector<std::string> BuildGPGCommand(const GpgSetup& setup, std::string_view operation,
                                         std::string_view defaultTemplate) {
  const std::string text = Settings(setup.settingsFile).Read(kGpgSection, operation, defaultTemplate);
  std::vector<std::string> args = {setup.program};
  std::size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && !IsBlank(text[pos])) ++pos;
    if (pos > start) args.push_back(text.substr(start, pos - start));
  }
  return args;
}

bool ReplacePlaceholder(std::vector<std::string>& args, std::string_view placeholder,
                        const std::vector<std::string>& values) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const auto at = args[i].find(placeholder);
    if (at == std::string::npos) continue;
    if (args[i] == placeholder) {
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
      args.insert(args.begin() + static_cast<std::ptrdiff_t>(i), values.begin(), values.end());
      return true;
    }
    std::string joined;
    for (const std::string& value : values) joined += (joined.empty() ? "" : " ") + value;
    args[i].replace(at, placeholder.size(), joined);
    return true;
  }
  return false;
}

bool CheckGPGFiles(const GpgSetup& setup) {
  if (CanStart(setup.program)) return true;
  MsgDialog("Problem! The file '" + BaseName(setup.program) +
                "' is missing from my home directory.  \nI can't complete the PGP operation! Reinstalling "
                "the program   \nshould fix this problem.",
            MsgKind::Error, kMbOk);
  return false;
}

}  // namespace fhr
