#include "storage/fhrdb.h"

#include "storage/db_key.h"

namespace fhr {
namespace {

// The index of the first record line whose "subno" is `subno`, or -1;
// `record` gets that line's fields.
int FindSubjectLine(const StringList& lines, const std::string& subno, StringList* record) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    StringList fields;
    fields.SetCommaText(lines[i]);
    if (fields.Value("subno") == subno) {
      if (record) *record = fields;
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

TFHRDB::TFHRDB(std::string fileName) : TSecureDB(std::move(fileName)) {}

std::string TFHRDB::InboxKey(const std::string& messageKey) { return DbKey({kInboxFolder, messageKey}); }

bool TFHRDB::ListInbox(StringList& keys) { return ReadStrings(kInboxFolder, keys); }

bool TFHRDB::ReadMessage(const std::string& messageKey, StringList& lines) {
  return ReadStrings(InboxKey(messageKey), lines);
}

bool TFHRDB::WriteMessage(const std::string& messageKey, const StringList& lines) {
  return WriteStrings(InboxKey(messageKey), &lines);
}

bool TFHRDB::DeleteMessage(const std::string& messageKey) { return DeleteRecord(InboxKey(messageKey)); }

bool TFHRDB::RenameMessage(const std::string& messageKey, const std::string& newMessageKey) {
  return RenameRecord(InboxKey(messageKey), newMessageKey);
}

bool TFHRDB::GetHost(const std::string& account, StringList& record) {
  record.Clear();
  StringList hosts;
  const bool ok = ReadHosts(hosts);
  const int i = hosts.IndexOfName(account);
  if (i >= 0) record.SetCommaText(hosts.ValueFromIndex(static_cast<std::size_t>(i)));
  return ok;
}

bool TFHRDB::PutHost(const std::string& account, const StringList& record) {
  StringList hosts;
  if (!ReadHosts(hosts)) return false;
  hosts.SetValue(account, record.CommaText());
  return WriteHosts(hosts);
}

bool TFHRDB::GetNymserver(const std::string& domain, StringList& record) {
  record.Clear();
  StringList servers;
  const bool ok = ReadNymservers(servers);
  const int i = servers.IndexOfName(domain);
  if (i >= 0) record.SetCommaText(servers.ValueFromIndex(static_cast<std::size_t>(i)));
  return ok;
}

std::string TFHRDB::NymserverType(const std::string& domain) {
  StringList record;
  GetNymserver(domain, record);
  const std::string type = record.Value("type");
  return type.empty() ? "error" : type;
}

bool TFHRDB::ListNymservers(StringList& domains) {
  domains.Clear();
  StringList servers;
  const bool ok = ReadNymservers(servers);
  for (std::size_t i = 0; i < servers.size(); ++i) domains.Add(servers.Name(i));
  return ok;
}

bool TFHRDB::GetSubjectLine(const std::string& subno, StringList& record) {
  record.Clear();
  StringList lines;
  const bool ok = ReadSubjects(lines);
  FindSubjectLine(lines, subno, &record);
  return ok;
}

bool TFHRDB::PutSubjectLine(const std::string& subno, const StringList& record) {
  StringList lines;
  if (!ReadSubjects(lines)) return false;
  const int i = FindSubjectLine(lines, subno, nullptr);
  if (i >= 0) {
    lines[static_cast<std::size_t>(i)] = record.CommaText();
  } else {
    lines.Add(record.CommaText());
  }
  return WriteSubjects(lines);
}

std::string TFHRDB::GetSubjectField(const std::string& subno, const std::string& field) {
  StringList record;
  GetSubjectLine(subno, record);
  return record.Value(field);
}

std::unique_ptr<TFHRDB> OpenMailDatabase(const std::string& fileName) {
  auto db = std::make_unique<TFHRDB>(fileName);
  db->Open();
  if (db->OpenError() != kDbNoError) return nullptr;
  return db;
}

}  // namespace fhr
