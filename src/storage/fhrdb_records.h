#pragma once
// The names of the mail database's records (all at the top level; the
// messages inside the folder "inbox").
namespace fhr {

inline constexpr const char* kInboxFolder = "inbox";
inline constexpr const char* kHostsRecord = "hosts";
inline constexpr const char* kProxiesRecord = "proxies";
inline constexpr const char* kSubjectsRecord = "subjects";
inline constexpr const char* kNymserversRecord = "nymservers";
inline constexpr const char* kStatusRecord = "status";
inline constexpr const char* kLogRecord = "log";
inline constexpr const char* kSessionRecord = "session";
inline constexpr const char* kSettingsRecord = "settings";

}  // namespace fhr
