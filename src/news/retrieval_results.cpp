#include "news/retrieval_results.h"

namespace fhr {

RetrievalResults::RetrievalResults(TFHRDB& db, std::string account_name, NymLookup nyms, int loglines)
    : db_(db), account_name_(std::move(account_name)), store_(db, std::move(nyms)), loglines_(loglines) {}

std::string RetrievalResults::Apply(const WorkerMessage& message) {
  switch (message.id) {
    case WorkerMessageId::kNewArticle: {
      std::optional<std::string> key = store_.Store(message.article_number, message.lines);
      if (!key) failed_ = true;
      return key.value_or("");
    }
    case WorkerMessageId::kRunFinished:
      if (message.last_article && !ApplyLastArticle(db_, account_name_, *message.last_article)) failed_ = true;
      return "";
    case WorkerMessageId::kWorkerEnded:
      if (!StorePassLog(db_, message.pass_log, loglines_)) failed_ = true;
      return "";
    default:
      return "";
  }
}

}  // namespace fhr
