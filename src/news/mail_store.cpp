#include "news/mail_store.h"

#include "core/text_helpers.h"

#include "gnupg/gpg_keys.h"
#include "news/msgmans.h"
#include "news/pass_log.h"
#include "storage/fhrdb.h"

namespace fhr {

NymLookup GnuPGNymLookup(const GpgSetup& setup) {
  return [setup](const std::string& key_id) { return key_id.empty() ? std::string() : NymNameForKey(setup, key_id); };
}

std::string PlaceholderNym(const std::string& key_id) {
  return key_id.empty() ? "unknown nym" : "unknown nym (" + key_id + ")";
}

MailStore::MailStore(TFHRDB& db, NymLookup nyms, Clock now) : db_(db), nyms_(std::move(nyms)), now_(std::move(now)) {}

std::string MailStore::NymFor(const std::string& key_id) {
  auto found = nym_cache_.find(key_id);
  if (found != nym_cache_.end()) return found->second;
  std::string nym = nyms_ ? nyms_(key_id) : std::string();
  if (nym.empty()) nym = PlaceholderNym(key_id);
  nym_cache_[key_id] = nym;
  return nym;
}

std::optional<std::string> MailStore::Store(std::int64_t article_number, const StringList& lines) {
  if (!stamps_read_) {
    StringList keys;
    if (db_.ListInbox(keys)) {
      for (const std::string& key : keys) stamps_.insert(StampOf(key));
    }
    stamps_read_ = true;
  }
  StringList message = lines;
  TMsgManager manager(message);
  const std::string subno = manager.GetHeader(kSubjectNoHeader);
  StringList subject_line;
  if (!subno.empty() && !db_.GetSubjectLine(subno, subject_line)) subject_line.Clear();
  const std::string nym = NymFor(subject_line.Value("keyid"));
  const std::string first = manager.MakeListKey([this](const std::string& stamp) { return stamps_.count(stamp) > 0; },
                                                now_);
  const std::string key = CompleteListKey(first, article_number, subject_line.Value("subject"), subno, nym);
  for (std::string& field : subject_line) WipeText(field);
  if (!db_.WriteMessage(key, message)) return std::nullopt;
  stamps_.insert(StampOf(key));
  ++stored_;
  return key;
}

bool ApplyLastArticle(TFHRDB& db, const std::string& account_name, std::int64_t last) {
  StringList record;
  if (!db.GetHost(account_name, record)) return false;
  if (record.empty()) return true;
  record.SetValue("lastarticle", std::to_string(last));
  const bool written = db.PutHost(account_name, record);
  for (std::string& field : record) WipeText(field);
  return written;
}

bool StorePassLog(TFHRDB& db, const StringList& pass_log, int loglines) {
  StringList stored;
  if (!db.ReadLog(stored)) stored.Clear();
  return db.WriteLog(MergePassLog(stored, pass_log, loglines));
}

}  // namespace fhr
