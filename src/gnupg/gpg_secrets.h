#pragma once
// Symmetric encryption with GnuPG for the program's own secrets: short texts
// (passphrases under a session key) and the secure-mode database image.
#include <cstddef>
#include <string>
#include <string_view>

#include "gnupg/gpg_setup.h"

namespace fhr {

// Encrypts `text` (gpg gets it with CR LF added) under `key` into `*output`
// (binary). `key` must not be empty; it is wiped after the run. False when
// gpg did not exit with 0; the failure is reported.
bool EncryptStringToStream(const GpgSetup& setup, std::string& key, const std::string& text, std::string* output);

// Decrypts what EncryptStringToStream made; `*text` gets the plaintext
// without trailing CR and LF. `key` is wiped after the run. False when gpg
// did not exit with 0; the failure is reported.
bool DecryptStreamToString(const GpgSetup& setup, std::string& key, std::string_view input, std::string* text);

// Encrypts the database image under `passphrase` into the file `fileName`
// (removed first when it exists), through the operation "encryptdb".
// Succeeds only when gpg exited with 0, reported the end of the encryption
// and left a non-empty file; otherwise the failure is reported. The
// passphrase is wiped after the run.
bool EncryptDatabase(const GpgSetup& setup, std::string& passphrase, std::string_view image,
                     const std::string& fileName);

// Decrypts gpg's part of a secure-mode file (`encrypted`, without the
// length the file keeps after it), given to gpg on standard input, into
// `*image`. Succeeds only when gpg exited with 0, reported DECRYPTION_OKAY
// and no DECRYPTION_FAILED, and gave exactly `expectedLength` bytes.
// A wrong passphrase shows "Bad passphrase!"; other failures are reported
// with gpg's lines. `*image` stays empty on failure.
bool DecryptDatabase(const GpgSetup& setup, const std::string& passphrase, std::string_view encrypted,
                     std::size_t expectedLength, std::string* image);

}  // namespace fhr
