#include "storage/secure_db.h"

#include "core/msgdialog.h"
#include "core/text_helpers.h"
#include "storage/fhrdb_records.h"

namespace fhr {

TSecureDB::TSecureDB(std::string fileName) : TDB(std::move(fileName)) {}

bool TSecureDB::SaveDatabase() {
  if (!Changed()) return true;
  if (SaveToFile(FileName())) return true;
  MsgDialog(kDbSaveProblemText + LastException(), MsgKind::Error, kMbOk);
  return false;
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

std::string TSecureDB::GetSessionKey() {
  StringList session;
  ReadStrings(kSessionRecord, session);
  return session.Value("key");
}

bool TSecureDB::SetSessionKey(const std::string& key) {
  StringList session;
  if (!ReadStrings(kSessionRecord, session)) return false;
  session.SetValue("key", key);
  return WriteStrings(kSessionRecord, &session);
}

}  // namespace fhr
