#pragma once
// Looking keys up in the keyrings and exporting them: the colon listings,
// the program's key record, short key IDs, user IDs and nym names.
#include <string>

#include "core/stringlist.h"
#include "gnupg/gpg_setup.h"

namespace fhr {

// The argument gpg gets for a key looked up by `key`: commas removed and
// blanks trimmed; a bare e-mail address is put in angle brackets so that it
// matches only that exact address ("send@x" never finds "resend@x").
std::string KeySearchArgument(const std::string& key);

// gpg's colon listing of the public keys (all of them when `key` is empty)
// into `*lines`. True when it lists a key: the trust-database line ("tru:")
// that gpg prints even when nothing matched does not count.
bool ListPublicKeys(const GpgSetup& setup, StringList* lines, const std::string& key);

// The same for the secret keys; true when gpg ran and ended.
bool ListSecretKeys(const GpgSetup& setup, StringList* lines, const std::string& key);

// The key record of the first public key `key` finds: its user ID, ":",
// then gpg's "pub" record without "pub:" (so field 0 is the user ID, field 4
// the 16-digit key ID, field 9 the user ID again). Empty when no key is
// found, and for a recipient entry such as "1 passphrase" (gpg is not run).
std::string GetPublicKeyLine(const GpgSetup& setup, const std::string& key);

// The user ID of the key, or "" when it is not found.
std::string GetKeyUserId(const GpgSetup& setup, const std::string& key);

// "0x" and the last 8 hex digits of the key's ID, or "" when it is not found.
std::string ShortKeyId(const GpgSetup& setup, const std::string& key);

// The nym's name for a nym's key: its user ID up to the first ":"; "" when
// the key is not found.
std::string NymNameForKey(const GpgSetup& setup, const std::string& keyId);

// Exports the keys (armored or not) into `*result`. Succeeds only when gpg
// exited with 0 and wrote nothing to standard error nor to the status
// channel (so a warning such as "nothing exported" is a failure, even when
// a key block came out); failures are reported.
bool ExportKeys(const GpgSetup& setup, const StringList& keyIds, StringList* result, bool armored);
bool ExportKeys(const GpgSetup& setup, const std::string& keyId, StringList* result, bool armored);

}  // namespace fhr
