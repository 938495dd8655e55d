#pragma once
// TSecureDB: decides how the database file is brought into memory and
// written back, and keeps the database settings and the session key.
//
// Plain mode: the file is the database image itself. Secure mode: the file
// is the image encrypted by gpg under the user's passphrase, followed by the
// image's length as 8 bytes (unsigned, little-endian); the plain image
// exists only in memory. While the program runs, the passphrase is kept only
// as gpg ciphertext under the session key (the "secure stream"), a random
// key made at every open, kept in memory only, that also protects the
// passphrase cache.
//
// Every save writes the new file completely beside the old one, checks it,
// flushes it and only then renames it over the old file, so a crash leaves
// the old or the new database, never none. When secure mode replaces a
// plain file, the plain bytes are erased through liberaser.so after the
// encrypted file has taken the name.
#include <functional>
#include <optional>
#include <string>

#include "gnupg/gpg_setup.h"
#include "storage/db.h"

namespace fhr {

// The open error of a secure-mode file whose passphrase was not given
// (cancelled, three wrong ones) or could not be kept.
inline constexpr int kDbPassphraseRefused = 14;

// The GnuPG setup for a database file: gpg's home and the settings file are
// in the file's directory (the data directory), the program is found from
// the running program's directory.
GpgSetup GpgSetupForDatabase(const std::string& fileName);

class TSecureDB : public TDB {
 public:
  // A database for `fileName`, using GpgSetupForDatabase(fileName) (made
  // when gpg is first needed).
  explicit TSecureDB(std::string fileName);
  TSecureDB(std::string fileName, GpgSetup gpg);
  // Wipes the secure stream. A secure-mode database is never written in
  // plain form: its unsaved changes are saved encrypted (a failure is shown).
  ~TSecureDB() override;

  // Loads the file into memory and opens the engine over it. An encrypted
  // file asks for its passphrase (the open form of the passphrase dialog)
  // up to three times; a cancel, three failures, or a passphrase that cannot
  // be kept under the session key set the open error kDbPassphraseRefused.
  // A file that cannot be read sets kDbReadException and shows it. Makes a
  // new session key.
  void Open() override;

  // Writes the image to the file when the database is changed (nothing to
  // do also succeeds): encrypted in secure mode, plain otherwise. gpg
  // encrypts a copy of the image, so writes made while it runs stay marked
  // for the next save. On failure the reason is shown, the old file stays as
  // it was, the database stays changed and the result is false. A plain file
  // that the encrypted one replaces is erased; when it cannot be erased,
  // that is shown and the result is false (the encrypted file is in place).
  virtual bool SaveDatabase();
  // Whether the file is kept encrypted.
  bool IsSecure() const { return secureStream_.has_value(); }

  // The dialogs of switching secure mode on, changing its passphrase (after
  // the current one is given) or switching it off. True when something
  // changed; the file takes its new form at the next SaveDatabase.
  bool ToggleSecureMode();

  // The record "settings": name=value lines.
  bool ReadDbSettings(StringList& list);
  bool WriteDbSettings(const StringList& list);
  // The setting's value, or `fallback` when it is empty or absent.
  std::string GetDbSetting(const std::string& name, const std::string& fallback);
  // Reads "settings", sets the value (an empty value removes the line) and
  // writes it back; nothing is written when the read failed.
  bool SetDbSetting(const std::string& name, const std::string& value);

  // The session key: made from the operating system's randomness at every
  // open, the gpg passphrase of the secure stream and of the passphrase
  // cache. It lives only in memory (wiped with the database), never in the
  // file.
  std::string GetSessionKey() const;
  void SetSessionKey(const std::string& key);
  // Makes a new session key. False (the key is then empty) when the
  // operating system gives no randomness.
  bool NewSessionKey();

  // Takes over the secure mode of `other` (its secure stream, session key,
  // GnuPG setup and status sink): a copy of a database, made by packing,
  // then saves as `other` would.
  void AdoptSecureMode(const TSecureDB& other);

  const GpgSetup& Gpg() const;
  void SetGpgSetup(GpgSetup gpg) { gpg_ = std::move(gpg); }
  // Where the status texts of a save (" encrypting... ", " Encryption
  // FAILED! ", "" to clear) go; the desktop shows them in its status bar.
  using StatusSink = std::function<void(const std::string&)>;
  void SetStatusSink(StatusSink sink) { statusSink_ = std::move(sink); }

  // The file gpg writes before it takes the database's name.
  std::string TempFileName() const { return FileName() + ".tmp"; }
  // The name under which a plain file is kept, hard-linked, while the
  // encrypted one replaces it, until it is erased.
  std::string PlainAsideFileName() const { return FileName() + ".plain"; }

 private:
  bool LoadEncrypted(const std::string& bytes, std::string* image, std::string* passphrase);
  bool SaveEncrypted();
  bool SavePlain();
  bool PassphraseFromStream(std::string* passphrase);
  bool MakeSecureStream(std::string& passphrase);
  void DropSecureStream();
  bool ToggleOff(bool* quit);
  // Removes the plain copy a secure save keeps aside until it is erased;
  // true when none is left.
  bool ClearPlainAside();
  void Status(const std::string& text);

  mutable std::optional<GpgSetup> gpg_;
  std::optional<std::string> secureStream_;
  StatusSink statusSink_;
  std::string sessionKey_;
};

}  // namespace fhr
