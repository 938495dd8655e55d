#pragma once
// The part of a front end's reaction to the retrieval worker that changes
// stored data, shared by both front ends: each new article is stored, the
// account's last article moves when the run finishes, and the pass log joins
// the stored log when the worker ends. The front end shows the rest.
#include <string>

#include "news/mail_store.h"
#include "news/worker_messages.h"

namespace fhr {

class RetrievalResults {
 public:
  // `db` must outlive this object; `loglines` is the setting "loglines".
  RetrievalResults(TFHRDB& db, std::string account_name, NymLookup nyms, int loglines);

  // Applies `message` when it is one that changes stored data (1128, 1134,
  // 1154); other messages are left alone. Returns the stored message's key
  // for 1128, "" otherwise.
  std::string Apply(const WorkerMessage& message);

  // Articles stored so far: the new-mail count.
  int stored() const { return store_.stored(); }
  // A write the database refused (it has reported why).
  bool failed() const { return failed_; }

 private:
  TFHRDB& db_;
  std::string account_name_;
  MailStore store_;
  int loglines_;
  bool failed_ = false;
};

}  // namespace fhr
