#include "gnupg/gpg_conf.h"

#include <sys/stat.h>

#include "core/atomic_file.h"
#include "core/paths.h"

namespace fhr {

namespace {

constexpr std::string_view kSecretPrefix = "secret-keyring ";
constexpr std::string_view kPublicPrefix = "keyring ";
constexpr std::string_view kExtensionPrefix = "load-extension ";

enum class LineKind { Other, SecretKeyring, PublicKeyring, IdeaExtension };

std::string Lowered(std::string text) {
  for (char& ch : text) {
    if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  }
  return text;
}

std::string WithoutLeadingBlanks(const std::string& line) {
  const auto first = line.find_first_not_of(" \t");
  return first == std::string::npos ? std::string() : line.substr(first);
}

LineKind KindOf(const std::string& line) {
  const std::string examined = Lowered(WithoutLeadingBlanks(line));
  if (examined.starts_with(kSecretPrefix)) return LineKind::SecretKeyring;
  if (examined.starts_with(kPublicPrefix)) return LineKind::PublicKeyring;
  if (examined.starts_with(kExtensionPrefix) && examined.find("idea.dll") != std::string::npos) {
    return LineKind::IdeaExtension;
  }
  return LineKind::Other;
}

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// The file's lines; `*missing` tells whether it does not exist. False when
// it exists but cannot be read.
bool LoadLines(const std::string& home, StringList* lines, bool* missing, std::string* error) {
  std::string bytes;
  *missing = false;
  if (!ReadWholeFile(GpgConfFileName(home), &bytes, error, missing)) {
    if (!*missing) return false;
    if (error) error->clear();
  }
  lines->SetText(bytes);
  return true;
}

bool SaveLines(const std::string& home, const StringList& lines, std::string* error) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\n";
  return WriteFileAtomically(GpgConfFileName(home), bytes, error);
}

}  // namespace

StringList NewGpgConfLines() {
  return {"# FH maintains the values for keyring, secret-keyring,",
          "# and default-key. If you add or modify values ABOVE these",
          "# entries, do so with extreme care. Items added below these",
          "# will be deleted.",
          "no-greeting",
          "no-mdc-warning",
          "no-auto-check-trustdb",
          "trust-model always",
          "no-default-keyring"};
}

std::string GpgConfFileName(const std::string& home) { return IncludeTrailingSeparator(home) + "gpg.conf"; }

std::string IdeaExtensionLine(const std::string& appDir) {
  return std::string(kExtensionPrefix) + IncludeTrailingSeparator(appDir) + "idea.dll";
}

bool ReadGpgConf(const std::string& home, GpgConfKeyrings* keyrings, std::string* error) {
  *keyrings = {};
  StringList lines;
  bool missing = false;
  if (!LoadLines(home, &lines, &missing, error)) return false;
  for (const std::string& line : lines) {
    switch (KindOf(line)) {
      case LineKind::SecretKeyring:
        keyrings->secretKeyring = WithoutLeadingBlanks(line).substr(kSecretPrefix.size());
        break;
      case LineKind::PublicKeyring:
        keyrings->publicKeyring = WithoutLeadingBlanks(line).substr(kPublicPrefix.size());
        break;
      default:
        break;
    }
  }
  return true;
}

bool KeyringsConfigured(const std::string& home) {
  GpgConfKeyrings keyrings;
  return Exists(GpgConfFileName(home)) && ReadGpgConf(home, &keyrings) && !keyrings.secretKeyring.empty() &&
         !keyrings.publicKeyring.empty();
}

bool WriteGpgConf(const std::string& home, const std::string& appDir, const std::string& secretKeyring,
                  const std::string& publicKeyring, std::string* error) {
  StringList lines;
  bool missing = false;
  if (!LoadLines(home, &lines, &missing, error)) return false;
  if (missing) lines = NewGpgConfLines();

  const std::string secretLine = std::string(kSecretPrefix) + secretKeyring;
  const std::string publicLine = std::string(kPublicPrefix) + publicKeyring;
  const std::string extensionLine = IdeaExtensionLine(appDir);
  bool secretDone = false;
  bool publicDone = false;
  bool extensionDone = false;
  for (std::string& line : lines) {
    const LineKind kind = KindOf(line);
    if (kind == LineKind::SecretKeyring && !secretDone) {
      line = secretLine;
      secretDone = true;
    } else if (kind == LineKind::PublicKeyring && !publicDone) {
      line = publicLine;
      publicDone = true;
    } else if (kind == LineKind::IdeaExtension && !extensionDone) {
      line = extensionLine;
      extensionDone = true;
    }
  }
  if (!extensionDone) lines.Add(extensionLine);
  if (!secretDone) lines.Add(secretLine);
  if (!publicDone) lines.Add(publicLine);
  return SaveLines(home, lines, error);
}

bool RefreshIdeaExtension(const std::string& home, const std::string& appDir, std::string* error) {
  if (!Exists(GpgConfFileName(home)) || !Exists(IncludeTrailingSeparator(appDir) + "idea.dll")) return true;
  StringList lines;
  bool missing = false;
  if (!LoadLines(home, &lines, &missing, error)) return false;
  if (missing) return true;
  const std::string current = IdeaExtensionLine(appDir);
  const std::string currentLowered = Lowered(current);
  for (const std::string& line : lines) {
    if (Lowered(line) == currentLowered) return true;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string examined = Lowered(WithoutLeadingBlanks(lines[i]));
    if (examined.starts_with(kExtensionPrefix) && examined.ends_with("idea.dll")) {
      lines.Delete(i);
      break;
    }
  }
  std::size_t at = 0;
  while (at < lines.size() && lines[at].starts_with("#")) ++at;
  lines.Insert(at, current);
  return SaveLines(home, lines, error);
}

}  // namespace fhr
