#include "storage/secure_db.h"

#include <openssl/evp.h>
#include <unistd.h>

#include "core/atomic_file.h"
#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/paths.h"
#include "core/random_bytes.h"
#include "core/text_helpers.h"
#include "eraser/eraser.h"
#include "gnupg/gpg_messages.h"
#include "gnupg/gpg_secrets.h"
#include "storage/db_errors.h"
#include "storage/db_manager.h"
#include "storage/fhrdb_records.h"
#include "storage/secmode_dialog.h"
#include "storage/secure_file.h"

namespace fhr {
namespace {

constexpr int kOpenAttempts = 3;
constexpr std::size_t kSessionKeyBytes = 32;

std::string ProgramDirectory() {
  const std::string program = ProcessPathInputs(std::nullopt).programPath;
  return program.substr(0, program.rfind('/') + 1);
}

// Whether `bytes` are a secure-mode file: OpenPGP data before the 8 length
// bytes. gpg is asked about its part alone, because the length after it
// makes gpg report the whole file as holding no OpenPGP data.
bool IsEncryptedDatabase(const GpgSetup& gpg, std::string_view bytes) {
  std::string_view encrypted;
  std::uint64_t length = 0;
  return !bytes.starts_with(kDbMagic) && SplitSecureFile(bytes, &encrypted, &length) && IsOpenPGPData(gpg, encrypted);
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

void ShowSaveProblem(const std::string& reason) { MsgDialog(kDbSaveProblemText + reason, MsgKind::Error, kMbOk); }

// Erases a file that holds plain database bytes and checks that it is gone.
bool ErasePlainCopy(const std::string& path) {
  if (!EraserReady() && !LoadEraser(ProgramDirectory())) return false;
  EraseFile(path);
  return !Exists(path);
}

}  // namespace

GpgSetup GpgSetupForDatabase(const std::string& fileName) {
  ResolvedPaths paths;
  paths.appDir = ProgramDirectory();
  const auto slash = fileName.rfind('/');
  paths.dataDir = slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
  paths.gnupgHome = paths.dataDir.empty() ? std::string() : paths.dataDir.substr(0, paths.dataDir.size() - 1);
  return GpgSetupFor(paths);
}

TSecureDB::TSecureDB(std::string fileName) : TDB(std::move(fileName)) {}

TSecureDB::TSecureDB(std::string fileName, GpgSetup gpg) : TDB(std::move(fileName)), gpg_(std::move(gpg)) {}

TSecureDB::~TSecureDB() {
  if (IsSecure()) {
    if (Changed() && OpenError() == kDbNoError && !FileName().empty()) SaveDatabase();
    // Whatever happened, the engine must not write the image in plain.
    SetChanged(false);
  }
  DropSecureStream();
  WipeText(sessionKey_);
}

const GpgSetup& TSecureDB::Gpg() const {
  if (!gpg_) gpg_ = GpgSetupForDatabase(FileName());
  return *gpg_;
}

void TSecureDB::Status(const std::string& text) {
  if (statusSink_) statusSink_(text);
}

void TSecureDB::DropSecureStream() {
  if (secureStream_) WipeText(*secureStream_);
  secureStream_.reset();
}

bool TSecureDB::MakeSecureStream(std::string& passphrase) {
  std::string key = GetSessionKey();
  std::string stream;
  const bool ok = !key.empty() && EncryptStringToStream(Gpg(), key, passphrase, &stream);
  WipeText(key);
  WipeText(passphrase);
  if (!ok) return false;
  DropSecureStream();
  secureStream_ = std::move(stream);
  return true;
}

bool TSecureDB::PassphraseFromStream(std::string* passphrase) {
  passphrase->clear();
  if (!secureStream_) return false;
  std::string key = GetSessionKey();
  const bool ok = !key.empty() && DecryptStreamToString(Gpg(), key, *secureStream_, passphrase) && !passphrase->empty();
  WipeText(key);
  if (!ok) WipeText(*passphrase);
  return ok;
}

void TSecureDB::Open() {
  DropSecureStream();
  std::string bytes;
  std::string error;
  bool missing = false;
  if (!FileName().empty() && !ReadWholeFile(FileName(), &bytes, &error, &missing) && !missing) {
    SetOpenError(kDbReadException, error);
    ShowDBError(kDbReadException);
    return;
  }
  std::string passphrase;
  if (IsEncryptedDatabase(Gpg(), bytes)) {
    std::string image;
    const bool loaded = LoadEncrypted(bytes, &image, &passphrase);
    bytes.swap(image);
    WipeText(image);
    if (!loaded) {
      SetOpenError(kDbPassphraseRefused, "the database's passphrase was not given");
      return;
    }
  }
  OpenImage(std::move(bytes));
  if (OpenError() != kDbNoError) {
    WipeText(passphrase);
    return;
  }
  NewSessionKey();
  // Without the passphrase under the session key no later save could
  // encrypt the database, so such an open must fail now, not at the close.
  if (!passphrase.empty() && !MakeSecureStream(passphrase)) {
    SetOpenError(kDbPassphraseRefused, "the database's passphrase could not be kept");
    return;
  }
  // A plain copy left by a secure save that was cut short.
  if (IsSecure()) ClearPlainAside();
}

bool TSecureDB::ClearPlainAside() {
  const std::string aside = PlainAsideFileName();
  if (!Exists(aside)) return true;
  // Another name of the database file itself (a save cut short before the
  // rename): erasing would destroy the database.
  if (SameFile(aside, FileName())) return ::unlink(aside.c_str()) == 0;
  return ErasePlainCopy(aside);
}

bool TSecureDB::LoadEncrypted(const std::string& bytes, std::string* image, std::string* passphrase) {
  std::string_view encrypted;
  std::uint64_t length = 0;
  if (!SplitSecureFile(bytes, &encrypted, &length)) return false;
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    TDBSecModeDlg dialog(SecModeDlgMode::kOpen);
    if (ShowSecModeDialog(dialog) != kMrOk) return false;
    if (DecryptDatabase(Gpg(), dialog.Accepted(), encrypted, length, image)) {
      *passphrase = std::move(dialog.Accepted());
      return true;
    }
  }
  return false;
}

bool TSecureDB::SaveDatabase() {
  if (!Changed()) return true;
  return IsSecure() ? SaveEncrypted() : SavePlain();
}

bool TSecureDB::SavePlain() {
  if (SaveToFile(FileName())) return true;
  ShowSaveProblem(LastException());
  return false;
}

bool TSecureDB::SaveEncrypted() {
  if (OpenError() != kDbNoError) {
    SetLastException("the database was not read completely, so it is not written back");
    ShowSaveProblem(LastException());
    return false;
  }
  if (FileName().empty()) {
    SetChanged(false);
    return true;
  }
  std::string passphrase;
  if (!PassphraseFromStream(&passphrase)) return false;
  if (!StorePendingFolders()) {
    WipeText(passphrase);
    return false;
  }
  // gpg gets a copy: whatever runs while gpg does (the desktop keeps
  // handling events) may write the database, which then counts as changed
  // again instead of being lost or mixed into this file.
  std::string snapshot = Image();
  SetChanged(false);
  const std::string temp = TempFileName();
  Status(" encrypting... ");
  bool ok = EncryptDatabase(Gpg(), passphrase, snapshot, temp);
  std::string error;
  if (ok && !FinishSecureFile(temp, snapshot.size(), &error)) ok = false;
  WipeText(snapshot);
  if (!ok) {
    ::unlink(temp.c_str());
    Status(" Encryption FAILED! ");
    SetChanged(true);
    if (!error.empty()) {
      SetLastException(error);
      ShowSaveProblem(error);
    }
    return false;
  }
  WaitProcessing(200);
  Status("");

  // A plain file in the way is linked aside, so that the database name
  // always names a whole database, and erased once the encrypted file has
  // taken the name.
  const std::string aside = PlainAsideFileName();
  if (!ClearPlainAside()) {
    ::unlink(temp.c_str());
    SetChanged(true);
    SetLastException("a plain copy of the database, " + aside + ", could not be erased");
    ShowSaveProblem(LastException());
    return false;
  }
  // Anything but an encrypted database in the way is erased, whatever it is.
  std::string old;
  bool missing = false;
  const bool hasOld = ReadWholeFile(FileName(), &old, nullptr, &missing) || !missing;
  const bool plainOld = hasOld && !IsEncryptedDatabase(Gpg(), old);
  WipeText(old);
  if (plainOld && ::link(FileName().c_str(), aside.c_str()) != 0) {
    error = "I can't link \"" + FileName() + "\" aside: " + SystemErrorText();
  }
  if (!error.empty() || !RenameDurably(temp, FileName(), &error)) {
    if (plainOld) ::unlink(aside.c_str());
    ::unlink(temp.c_str());
    SetChanged(true);
    SetLastException(error);
    ShowSaveProblem(error);
    return false;
  }
  if (plainOld && !ErasePlainCopy(aside)) {
    SetChanged(true);
    SetLastException("the database is saved encrypted, but its old plain copy, " + aside +
                     ", could not be erased");
    ShowSaveProblem(LastException());
    return false;
  }
  return true;
}

bool TSecureDB::ToggleSecureMode() {
  if (IsSecure()) {
    bool quit = false;
    if (!ToggleOff(&quit)) return false;
    if (quit) return true;
    WaitProcessing(100);
  }
  TDBSecModeDlg dialog(IsSecure() ? SecModeDlgMode::kChange : SecModeDlgMode::kSetUp);
  if (ShowSecModeDialog(dialog) != kMrOk) return false;
  if (!MakeSecureStream(dialog.Accepted())) return false;
  SetChanged(true);
  WaitProcessing(100);
  MsgDialog("Secure Mode is set!    ", MsgKind::Information, kMbOk);
  SetDbSetting("securemode", "1");
  return true;
}

bool TSecureDB::ToggleOff(bool* quit) {
  std::string current;
  if (!PassphraseFromStream(&current)) return false;
  TDBSecModeDlg dialog(SecModeDlgMode::kPermission, std::move(current));
  const int result = ShowSecModeDialog(dialog);
  if (result == kSecModeQuitResult) {
    DropSecureStream();
    SetChanged(true);
    WaitProcessing(50);
    MsgDialog("Secure Mode is canceled!   ", MsgKind::Information, kMbOk);
    SetDbSetting("securemode", "0");
    *quit = true;
    return true;
  }
  return result == kMrOk;
}

void TSecureDB::AdoptSecureMode(const TSecureDB& other) {
  DropSecureStream();
  secureStream_ = other.secureStream_;
  SetSessionKey(other.sessionKey_);
  gpg_ = other.Gpg();
  statusSink_ = other.statusSink_;
}

bool TSecureDB::ReadDbSettings(StringList& list) { return ReadStrings(kSettingsRecord, list); }

bool TSecureDB::WriteDbSettings(const StringList& list) { return WriteStrings(kSettingsRecord, &list); }

std::string TSecureDB::GetDbSetting(const std::string& name, const std::string& fallback) {
  StringList settings;
  ReadDbSettings(settings);
  return ValueOf(settings, name, fallback);
}

bool TSecureDB::SetDbSetting(const std::string& name, const std::string& value) {
  StringList settings;
  if (!ReadDbSettings(settings)) return false;
  settings.SetValue(name, value);
  return WriteDbSettings(settings);
}

std::string TSecureDB::GetSessionKey() const { return sessionKey_; }

void TSecureDB::SetSessionKey(const std::string& key) {
  WipeText(sessionKey_);
  sessionKey_ = key;
}

bool TSecureDB::NewSessionKey() {
  unsigned char random[kSessionKeyBytes];
  unsigned char encoded[4 * ((kSessionKeyBytes + 2) / 3) + 1];
  const bool ok = FillRandomBytes(random, sizeof random);
  WipeText(sessionKey_);
  // A key that could not be made stays empty: nothing is then kept under it.
  if (ok) {
    const int n = EVP_EncodeBlock(encoded, random, static_cast<int>(sizeof random));
    sessionKey_.assign(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(n));
  }
  SecureWipe(random, sizeof random);
  SecureWipe(encoded, sizeof encoded);
  return ok;
}

}  // namespace fhr
