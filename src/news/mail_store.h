#pragma once
// What the front ends do with the results of a retrieval pass, in one place:
// storing a matched article in the inbox under its message list key, moving
// the account's last article, and keeping the pass's lines in the stored
// news-server log. Runs on the thread that owns the database.
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

#include "core/stringlist.h"
#include "gnupg/gpg_setup.h"
#include "news/list_key.h"

namespace fhr {

class TFHRDB;

// The nym's name for a key ID, "" when the key cannot be found.
using NymLookup = std::function<std::string(const std::string& key_id)>;

// The nym's name as GnuPG's key listing gives it (the key's user ID up to
// its first ":"), each key asked for once.
NymLookup GnuPGNymLookup(const GpgSetup& setup);

// The nym shown for a message whose key cannot be found (removed from the
// keyring, or a subject line without a key): the message is kept, named by
// its key ID.
std::string PlaceholderNym(const std::string& key_id);

class MailStore {
 public:
  // `db` and whatever `nyms` refers to must outlive the store.
  MailStore(TFHRDB& db, NymLookup nyms, Clock now = SystemClock);

  // Stores a matched article: `lines` as the worker sent them, starting with
  // "Subject-No:". The key is the article's list key completed with the
  // number, the subject line's subject and subno, and the nym (a placeholder
  // when the nym cannot be named, so no match is ever dropped); the stamp is
  // one no stored message has. Returns the key, or nothing when the
  // database refused the write (it has reported why).
  std::optional<std::string> Store(std::int64_t article_number, const StringList& lines);

  // Articles stored by this object: the new-mail count.
  int stored() const { return stored_; }

 private:
  std::string NymFor(const std::string& key_id);

  TFHRDB& db_;
  NymLookup nyms_;
  Clock now_;
  std::set<std::string> stamps_;
  bool stamps_read_ = false;
  std::unordered_map<std::string, std::string> nym_cache_;
  int stored_ = 0;
};

// Sets the account's "lastarticle" to `last` in the record as it is stored
// now, so edits made while the pass ran survive. Nothing is written when the
// account no longer exists. False when the database failed.
bool ApplyLastArticle(TFHRDB& db, const std::string& account_name, std::int64_t last);

// Adds the pass's lines to the stored "log" (after one empty line), keeping
// the last `loglines` lines. False when the database failed.
bool StorePassLog(TFHRDB& db, const StringList& pass_log, int loglines);

}  // namespace fhr
