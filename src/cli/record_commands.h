#pragma once
// What the account and proxy commands share: the verbs add, set, ls, rm and
// use over one keyed record of the database, and choosing a record as the
// current one in the settings file.
#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/stringlist.h"
#include "storage/fhrdb.h"

namespace fhr::cli {

struct RecordVerbs {
  const char* usage;
  int (*edit)(Context& ctx, TFHRDB& db, const std::vector<std::string>& args, bool adding);
  int (*list)(Context& ctx, TFHRDB& db);
  int (*remove)(Context& ctx, TFHRDB& db, const std::string& name);
  int (*use)(Context& ctx, TFHRDB& db, const std::string& name);
};

// Checks the verb and its arguments, opens the database, runs the verb and
// saves the database when the verb changed it.
int RunRecordVerbs(Context& ctx, const std::vector<std::string>& args, const RecordVerbs& verbs);

// What choosing a record as the current one needs to know about its kind.
struct RecordChoice {
  bool (TFHRDB::*read)(StringList&);  // reads the whole keyed record
  const char* settingName;            // "account" or "nntpproxy"
  const char* noun;                   // "news account", "proxy"
  const char* plural;                 // "news accounts", "proxies"
};

// Makes `name` (or "none") the current one, spelled as it is stored.
int ChooseRecord(Context& ctx, TFHRDB& db, const std::string& name, const RecordChoice& choice);

}  // namespace fhr::cli
