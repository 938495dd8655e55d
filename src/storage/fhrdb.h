#pragma once
// TFHRDB: the mail database of the program, and the records it keeps.
//
// Every record holds the lines of a StringList. Three storage forms: plain
// lines; keyed records ("name=" followed by the comma text of the entry's
// own name=value record, looked up by name without regard to case); record
// lines (one comma text per entry). Messages are records of the folder
// "inbox", named by their message list keys. Every operation that writes
// returns whether the engine reported no error; errors were shown by it.
#include <memory>
#include <string>

#include "core/stringlist.h"
#include "storage/fhrdb_records.h"
#include "storage/secure_db.h"

namespace fhr {

class TFHRDB : public TSecureDB {
 public:
  explicit TFHRDB(std::string fileName);

  // The key of a stored message: "inbox", 0xFF, the message list key.
  static std::string InboxKey(const std::string& messageKey);

  // The message list keys of every stored message, in the order in which
  // they were first stored.
  bool ListInbox(StringList& keys);
  bool ReadMessage(const std::string& messageKey, StringList& lines);
  bool WriteMessage(const std::string& messageKey, const StringList& lines);
  bool DeleteMessage(const std::string& messageKey);
  // Gives a stored message a new list key, keeping its place and bytes.
  // Refused when another message already has the new key.
  bool RenameMessage(const std::string& messageKey, const std::string& newMessageKey);

  // "hosts": news accounts by account name.
  bool ReadHosts(StringList& list) { return ReadStrings(kHostsRecord, list); }
  bool WriteHosts(const StringList& list) { return WriteStrings(kHostsRecord, &list); }
  // The account's fields (empty when absent); the result of the read.
  bool GetHost(const std::string& account, StringList& record);
  // Sets the account's entry (in place when it exists in any letter case,
  // else appended; an empty record removes it) and writes "hosts" back
  // only when the read succeeded.
  bool PutHost(const std::string& account, const StringList& record);

  // "proxies": proxies by proxy name, written whole by the proxy manager.
  bool ReadProxies(StringList& list) { return ReadStrings(kProxiesRecord, list); }
  bool WriteProxies(const StringList& list) { return WriteStrings(kProxiesRecord, &list); }

  // "nymservers": nymservers by domain.
  bool ReadNymservers(StringList& list) { return ReadStrings(kNymserversRecord, list); }
  bool WriteNymservers(const StringList& list) { return WriteStrings(kNymserversRecord, &list); }
  // Clears `record` and fills it with the domain's fields.
  bool GetNymserver(const std::string& domain, StringList& record);
  // The domain's field "type", or "error" when it is empty or the domain is absent.
  std::string NymserverType(const std::string& domain);
  // The domains, in stored order.
  bool ListNymservers(StringList& domains);

  // "subjects": one comma text per subject line, identified by its field
  // "subno" (compared exactly: "2001" is not "02001").
  bool ReadSubjects(StringList& list) { return ReadStrings(kSubjectsRecord, list); }
  bool WriteSubjects(const StringList& list) { return WriteStrings(kSubjectsRecord, &list); }
  // Clears `record` and fills it with the first subject line whose subno
  // is `subno`; the result of the read.
  bool GetSubjectLine(const std::string& subno, StringList& record);
  // Replaces the first line with that subno by the record's comma text, or
  // appends it, and writes "subjects" back only when the read succeeded.
  // `subno` and the record's own "subno" must not be empty.
  bool PutSubjectLine(const std::string& subno, const StringList& record);
  // The field of the subject line, or "" when the line or field is absent.
  std::string GetSubjectField(const std::string& subno, const std::string& field);

  // "status": the Status pane's text; "log": the news-server conversation.
  bool ReadStatus(StringList& lines) { return ReadStrings(kStatusRecord, lines); }
  bool WriteStatus(const StringList& lines) { return WriteStrings(kStatusRecord, &lines); }
  bool ReadLog(StringList& lines) { return ReadStrings(kLogRecord, lines); }
  bool WriteLog(const StringList& lines) { return WriteStrings(kLogRecord, &lines); }
};

// Opens the mail database of `fileName` (not empty); a missing file gives a
// new, empty database. Null when it could not be opened (the reason was
// shown); such a database is never written.
std::unique_ptr<TFHRDB> OpenMailDatabase(const std::string& fileName);

}  // namespace fhr
