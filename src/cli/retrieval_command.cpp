// fhr-cli get, check and catchup: one retrieval pass over the newsgroup with
// a news account, its log printed as it runs. get stores every matching
// article and moves the account's last article; check only counts; catchup
// moves the last article to the newest one. Ctrl-C cancels the pass without
// losing what it found.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>
#include <memory>

#include "cli/commands.h"
#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "gnupg/gpg_conf.h"
#include "gnupg/gpg_setup.h"
#include "news/article_count.h"
#include "news/nntp_thread.h"
#include "news/retrieval_results.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void OnInterrupt(int) { g_interrupted.store(true); }

// Ctrl-C and SIGTERM cancel the pass instead of ending the program, while
// this object lives.
class InterruptCatcher {
 public:
  InterruptCatcher() {
    g_interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);
  }
  ~InterruptCatcher() {
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
  }
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;

 private:
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
};

bool Interactive(const Context& ctx) { return &ctx.in == &std::cin && isatty(STDIN_FILENO); }

// The article-count question: --count, else the terminal, else declined.
long long AnswerArticleCount(Context& ctx, long long available) {
  if (ctx.answers.count) return *ctx.answers.count < 0 ? -1 : *ctx.answers.count;
  if (!Interactive(ctx)) return -1;
  for (;;) {
    ctx.err << ArticleCountPrompt(available) << " [number, empty line cancels]: " << std::flush;
    std::string line;
    if (!std::getline(ctx.in, line)) return -1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return -1;
    std::string problem;
    if (auto count = ParseArticleCount(line, available, &problem)) return *count;
    ctx.err << problem << "\n";
  }
}

// The message request's "message|kind|buttons", shown as a message box.
int ShowRequest(const std::string& text) {
  const std::size_t second = text.rfind('|');
  const std::size_t first = second == std::string::npos || second == 0 ? std::string::npos : text.rfind('|', second - 1);
  if (first == std::string::npos) return MsgDialog(text, MsgKind::Error, kMbOk);
  const int kind = std::atoi(text.substr(first + 1, second - first - 1).c_str());
  const int buttons = std::atoi(text.substr(second + 1).c_str());
  return MsgDialog(text.substr(0, first), static_cast<MsgKind>(kind), buttons);
}

struct PassOutcome {
  bool canceled = false;
  bool error = false;
  int matches = 0;
  std::optional<std::int64_t> last_article;
};

int RunPass(Context& ctx, const std::vector<std::string>& args, RetrievalMode mode) {
  std::optional<std::string> account_option;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--account" && i + 1 < args.size()) {
      account_option = args[++i];
    } else if (args[i].starts_with("--account=")) {
      account_option = args[i].substr(10);
    } else {
      return Fail(ctx, "usage: fhr-cli get|check|catchup [--account NAME]", 2);
    }
  }
  Settings settings(ctx.paths.IniFileName());
  const std::string account = account_option.value_or(settings.Text("account"));
  if (account.empty() || account == "none") {
    return Fail(ctx, "You don't have a NEWS account selected! (fhr-cli account use NAME, or --account NAME)");
  }
  if (mode == RetrievalMode::kGet && !KeyringsConfigured(ctx.paths.gnupgHome)) {
    return Fail(ctx, "You need to tell me where your PGP Keyrings are located! (fhr-cli keyrings --secret FILE "
                     "--public FILE)");
  }
  std::unique_ptr<TFHRDB> db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I can't open the database " + ctx.paths.DbFileName());

  RetrievalJob job = MakeRetrievalJob(*db, settings, ctx.paths.IniFileName(), ctx.paths.dataDir, account, mode);
  if (job.account.empty()) return Fail(ctx, "there is no news account " + account);
  if (mode == RetrievalMode::kGet && job.subject_lines.empty()) {
    // Fetching without a subject line would skip every article for good.
    return Fail(ctx, "You don't have any DIZ subject lines defined! (fhr-cli subject add ...)");
  }
  if (mode != RetrievalMode::kCatchUp && job.account.Value("lastarticle").empty() && !ctx.answers.count &&
      !Interactive(ctx)) {
    return Fail(ctx, "The account " + account +
                         " has no last article yet: say how many of the newest articles to start with (--count N)");
  }

  RetrievalResults results(*db, job.account_name, GnuPGNymLookup(GpgSetupFor(ctx.paths)), settings.Int("loglines"));
  PassOutcome outcome;
  WorkerQueue queue;
  {
    InterruptCatcher interrupts;
    TNNTPThread worker(std::move(job), &queue);
    worker.Start();
    bool cancel_sent = false;
    for (bool ended = false; !ended;) {
      if (g_interrupted.load() && !cancel_sent) {
        worker.Cancel();
        cancel_sent = true;
      }
      std::optional<WorkerMessage> message = queue.Take(std::chrono::milliseconds(100));
      if (!message) continue;
      const std::string key = results.Apply(*message);
      switch (message->id) {
        case WorkerMessageId::kStatusLine:
          if (message->first == 0) ctx.out << message->text << "\n" << std::flush;
          break;
        case WorkerMessageId::kNewArticle:
          if (!key.empty()) {
            const ListKeyFields fields = ParseListKey(key);
            ctx.out << "Stored article " << message->article_number << " for " << fields.nym << " as " << fields.stamp
                    << "\n" << std::flush;
          }
          break;
        case WorkerMessageId::kError:
          outcome.error = true;
          break;
        case WorkerMessageId::kMessageRequest:
          outcome.error = true;
          message->reply->Answer(ShowRequest(message->text));
          break;
        case WorkerMessageId::kArticleCountQuestion:
          message->reply->Answer(AnswerArticleCount(ctx, message->first));
          break;
        case WorkerMessageId::kRunFinished:
          outcome.canceled = message->first != 0;
          outcome.matches = static_cast<int>(message->second);
          outcome.last_article = message->last_article;
          break;
        case WorkerMessageId::kWorkerEnded:
          ended = true;
          break;
        default:
          break;
      }
    }
  }

  const bool saved = !db->Changed() || db->SaveDatabase();
  std::string summary;
  switch (mode) {
    case RetrievalMode::kGet:
      summary = std::to_string(results.stored()) + " new message" + (results.stored() == 1 ? "" : "s") + " stored";
      break;
    case RetrievalMode::kCheck:
      summary = std::to_string(outcome.matches) + " waiting message" + (outcome.matches == 1 ? "" : "s");
      break;
    case RetrievalMode::kCatchUp:
      summary = "caught up";
      break;
  }
  if (outcome.last_article) summary += ", last article " + std::to_string(*outcome.last_article);
  if (outcome.canceled) summary += " (canceled)";
  if (outcome.error) summary += " (the server reported an error; see the log above)";
  ctx.out << summary << "\n";
  if (results.failed() || !saved) return Fail(ctx, "I couldn't store everything in the database");
  if (outcome.canceled) return 130;
  return outcome.error ? 1 : 0;
}

}  // namespace

int RunGet(Context& ctx, const std::vector<std::string>& args) { return RunPass(ctx, args, RetrievalMode::kGet); }
int RunCheck(Context& ctx, const std::vector<std::string>& args) { return RunPass(ctx, args, RetrievalMode::kCheck); }
int RunCatchUp(Context& ctx, const std::vector<std::string>& args) {
  return RunPass(ctx, args, RetrievalMode::kCatchUp);
}

}  // namespace fhr::cli
