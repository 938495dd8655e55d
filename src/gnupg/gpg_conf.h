#pragma once
// GnuPG's options file gpg.conf in the GnuPG home: the only place the
// keyring locations are kept. The program reads and rewrites two keyring
// lines and the line that loads the IDEA extension, and keeps every other
// line as it is.
#include <string>

#include "core/stringlist.h"

namespace fhr {

// The lines a new gpg.conf starts with.
StringList NewGpgConfLines();

// home + "/gpg.conf".
std::string GpgConfFileName(const std::string& home);

// "load-extension " + the program directory (with its trailing "/") + "idea.dll".
std::string IdeaExtensionLine(const std::string& appDir);

// The keyrings gpg.conf names: the value of the last "secret-keyring " line
// and of the last "keyring " line (letter case and leading blanks ignored),
// as written. A missing file names none.
struct GpgConfKeyrings {
  std::string secretKeyring;
  std::string publicKeyring;
};

// Reads the keyrings; false with `*error` set when the file exists but
// cannot be read.
bool ReadGpgConf(const std::string& home, GpgConfKeyrings* keyrings, std::string* error = nullptr);

// gpg.conf exists and names a secret and a public keyring.
bool KeyringsConfigured(const std::string& home);

// Sets the keyrings: the first secret keyring, public keyring and IDEA
// extension lines are replaced, later ones of each kind stay, and what is
// missing is appended (extension, secret, public). A missing file starts
// from NewGpgConfLines. The file is replaced atomically; one that exists but
// cannot be read is left alone. False with `*error` set on failure.
bool WriteGpgConf(const std::string& home, const std::string& appDir, const std::string& secretKeyring,
                  const std::string& publicKeyring, std::string* error = nullptr);

// Start-up step: when gpg.conf and the program directory's "idea.dll"
// exist and no line is the current extension line (letter case ignored),
// the first old extension line is removed and the current one inserted
// after the leading comment lines. False with `*error` set when the file
// could not be read or written.
bool RefreshIdeaExtension(const std::string& home, const std::string& appDir, std::string* error = nullptr);

}  // namespace fhr
