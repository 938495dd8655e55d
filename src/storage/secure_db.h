#pragma once
// TSecureDB: decides how the database file is brought into memory and
// written back, and keeps the database settings and the session key.
//
// This is the plain form: the file is the database image itself, loaded
// whole at open and replaced atomically by SaveDatabase. The encrypted
// form (the image encrypted with GnuPG under a passphrase) is added in this
// class: Open and SaveDatabase are its seams, and Image() hands the bytes
// to encrypt without another copy.
#include <string>

#include "storage/db.h"

namespace fhr {

class TSecureDB : public TDB {
 public:
  explicit TSecureDB(std::string fileName);

  // Writes the image to the database file when the database is changed
  // (nothing to do also succeeds). On failure shows "Problem! I couldn't
  // save the database! ..." with the reason and returns false; the database
  // stays changed and the old file stays as it was.
  virtual bool SaveDatabase();
  // Whether the file is kept encrypted. Always false in the plain form.
  bool IsSecure() const { return false; }

  // The record "settings": name=value lines.
  bool ReadDbSettings(StringList& list);
  bool WriteDbSettings(const StringList& list);
  // The setting's value, or `fallback` when it is empty or absent.
  std::string GetDbSetting(const std::string& name, const std::string& fallback);
  // Reads "settings", sets the value (an empty value removes the line) and
  // writes it back; nothing is written when the read failed.
  bool SetDbSetting(const std::string& name, const std::string& value);

  // The value "key" of the record "session".
  std::string GetSessionKey();
  bool SetSessionKey(const std::string& key);
};

}  // namespace fhr
