#include "news/retrieval_job.h"

#include "core/text_helpers.h"
#include "news/proxy_record.h"
#include "storage/fhrdb.h"

namespace fhr {

std::vector<std::string> ActiveSubjectLines(const StringList& stored) {
  std::vector<std::string> active;
  for (const std::string& line : stored) {
    if (line.find("active=1") != std::string::npos) active.push_back(line);
  }
  return active;
}

RetrievalJob MakeRetrievalJob(TFHRDB& db, const Settings& settings, const std::string& settings_file,
                              const std::string& data_dir, const std::string& account_name, RetrievalMode mode) {
  RetrievalJob job;
  job.mode = mode;
  job.account_name = account_name;
  if (!db.GetHost(account_name, job.account)) job.account.Clear();
  job.proxy_name = settings.Text("nntpproxy");
  if (job.proxy_name.empty()) job.proxy_name = std::string(kNoProxy);
  StringList proxies;
  if (!db.ReadProxies(proxies)) proxies.Clear();
  job.proxy = SocksFromProxies(job.proxy_name, proxies);
  for (std::string& line : proxies) WipeText(line);
  if (mode != RetrievalMode::kCatchUp) {
    StringList subjects;
    if (!db.ReadSubjects(subjects)) subjects.Clear();
    job.subject_lines = ActiveSubjectLines(subjects);
    for (std::string& line : subjects) WipeText(line);
  }
  job.newsgroup = settings.Text("newsgroup");
  job.session = SessionOptionsFromSettings(settings);
  job.settings_file = settings_file;
  job.data_dir = data_dir;
  return job;
}

}  // namespace fhr
