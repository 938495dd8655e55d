#pragma once
// Everything one retrieval pass needs, copied out of the database and the
// settings before the worker starts, so the worker never touches either.
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "core/stringlist.h"
#include "news/nntp_session.h"
#include "news/socks_client.h"

namespace fhr {

class TFHRDB;

enum class RetrievalMode : int { kCatchUp = 1, kCheck = 2, kGet = 3 };

struct RetrievalJob {
  RetrievalMode mode = RetrievalMode::kGet;
  std::string account_name;
  StringList account;  // the account record (empty when it does not exist)
  // The active proxy's name ("nntpproxy") and its settings; nothing when a
  // proxy of that name does not exist.
  std::string proxy_name{"none"};
  std::optional<SocksSettings> proxy{SocksSettings{}};
  // The comma texts of the active subject lines, in stored order.
  std::vector<std::string> subject_lines;
  std::string newsgroup{"alt.anonymous.messages"};
  NntpSessionOptions session;
  // At most one progress report per interval; zero passes every report.
  std::chrono::milliseconds progress_interval{250};
  // ARTICLE requests in flight at once in the get pass.
  std::size_t pipeline_window = 32;
  // Where time-outs are recorded ("savetimeouts"); empty: nowhere.
  std::string settings_file;
  std::string data_dir;
};

// The job for a pass over `account_name` with the current records and
// settings. A record that cannot be read counts as empty, as a missing one
// does; the pass then reports what is missing.
RetrievalJob MakeRetrievalJob(TFHRDB& db, const Settings& settings, const std::string& settings_file,
                              const std::string& data_dir, const std::string& account_name, RetrievalMode mode);

// The active subject lines among the stored ones: those whose text holds
// "active=1".
std::vector<std::string> ActiveSubjectLines(const StringList& stored);

}  // namespace fhr
