#pragma once
// Keeping a decrypted message: its text replaces the stored one, under a
// list key that shows the decrypted sender and the read flag.
#include <string>

#include "core/stringlist.h"
#include "storage/fhrdb.h"

namespace fhr {

// The list key for the decrypted lines of the message stored under `key`:
// the read flag set and field 4 ("From:") replaced by the decrypted
// sender's address (ExtractSender) when the lines name one; the arrival
// stamp and every other field are kept.
std::string DecryptedMessageKey(const std::string& key, const StringList& lines);

// Stores the decrypted lines of the message under `key` and gives it its
// DecryptedMessageKey. The text is written under the old key first and the
// record then renamed (keeping its place), so a failure at any step leaves
// the message stored, never lost. Changes the database image only; the
// caller saves the file. Returns the key the message now has, or "" when
// the text could not be written (the database has reported why); when only
// the rename failed, the old key.
std::string SaveDecryptedMessage(TFHRDB& db, const std::string& key, const StringList& lines);

}  // namespace fhr
