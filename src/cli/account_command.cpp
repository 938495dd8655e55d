// fhr-cli account: the news accounts (add, change, list, remove, choose the
// active one). Passwords come from stdin or --passphrase-fd, never from the
// command line.
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/record_commands.h"
#include "cli/secret_input.h"
#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "news/news_account.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

constexpr const char* kUsage =
    "usage: fhr-cli account add NAME --host HOST [--port N] [--tls none|SSL|TLS] [--user ID --auth] "
    "[--lastarticle N] | set NAME [--name NEW] [--host HOST] [--port N] [--tls MODE] [--user ID] "
    "[--auth|--no-auth] [--password] [--lastarticle N|--no-lastarticle] | ls | rm NAME | use NAME|none";

struct AccountEdit {
  std::optional<std::string> name, host, port, tls, user, lastarticle;
  std::optional<bool> auth;
  bool new_password = false;
};

// Reads the options after the account name; false on a usage error.
bool ParseEdit(const std::vector<std::string>& args, std::size_t from, AccountEdit* edit) {
  for (std::size_t i = from; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::optional<std::string>* into) {
      if (i + 1 >= args.size()) return false;
      *into = args[++i];
      return true;
    };
    bool ok = true;
    if (arg == "--name") ok = value(&edit->name);
    else if (arg == "--host") ok = value(&edit->host);
    else if (arg == "--port") ok = value(&edit->port);
    else if (arg == "--tls") ok = value(&edit->tls);
    else if (arg == "--user") ok = value(&edit->user);
    else if (arg == "--lastarticle") ok = value(&edit->lastarticle);
    else if (arg == "--no-lastarticle") edit->lastarticle = "";
    else if (arg == "--auth") edit->auth = true;
    else if (arg == "--no-auth") edit->auth = false;
    else if (arg == "--password") edit->new_password = true;
    else ok = false;
    if (!ok) return false;
  }
  return true;
}

std::vector<std::string> NamesExcept(const StringList& hosts, const std::string& except) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    const std::string name = hosts.Name(i);
    if (!SameNameIgnoringCase(name, except)) names.push_back(name);
  }
  return names;
}

// Checks the record as the account dialog does, asks the port-563 question,
// and stores it under its name in place of `old_name` (empty for a new
// account). Returns the exit status.
int Save(Context& ctx, TFHRDB& db, StringList& hosts, StringList record, const std::string& old_name) {
  CompleteAccountRecord(record);
  if (PortSuggestsImplicitTls(record)) {
    if (MsgDialog("You have set the NNTP port to 563 but TLS/SSL is not set to TLS.  \nThis probably won't work. "
                  "Shall I change it to TLS?",
                  MsgKind::Confirmation, kMbYesNo) == kMrYes) {
      record.SetValue("tls", "TLS");
    } else {
      MsgDialog("Ok, but if the connection doesn't work, this is the first   \nthing you need to look at.",
                MsgKind::Information, kMbOk);
    }
  }
  const AccountCheck check = CheckAccountRecord(record, NamesExcept(hosts, old_name));
  if (check.problem != AccountProblem::kNone) return Fail(ctx, check.message);
  const std::string name = record.Value("key");
  StringList kept;
  bool placed = false;
  const std::string line = name + "=" + AccountRecordCommaText(record);
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    if (!old_name.empty() && SameNameIgnoringCase(hosts.Name(i), old_name)) {
      kept.Add(line);
      placed = true;
    } else {
      kept.Add(hosts[i]);
    }
  }
  if (!placed) kept.Add(line);
  const bool written = db.WriteHosts(kept);
  for (std::string& field : kept) WipeText(field);
  for (std::string& field : record) WipeText(field);
  return written ? 0 : Fail(ctx, "I can't store the news accounts");
}

int Edit(Context& ctx, TFHRDB& db, const std::vector<std::string>& args, bool adding) {
  if (args.size() < 2) return Fail(ctx, kUsage, 2);
  const std::string name = args[1];
  AccountEdit edit;
  if (!ParseEdit(args, 2, &edit) || (adding && edit.name)) return Fail(ctx, kUsage, 2);
  StringList hosts;
  if (!db.ReadHosts(hosts)) return Fail(ctx, "I can't read the news accounts");
  const int index = hosts.IndexOfName(name);
  StringList record;
  if (adding) {
    if (index >= 0) return Fail(ctx, "Sorry, the name '" + name + "' value already exists!   \nIt must be unique!   ");
    if (!edit.host) return Fail(ctx, kUsage, 2);
    record = NewAccountRecord();
    record.SetValue("key", name);
  } else {
    if (index < 0) return Fail(ctx, "there is no news account " + name);
    record.SetCommaText(hosts.ValueFromIndex(static_cast<std::size_t>(index)));
    record.SetValue("key", hosts.Name(static_cast<std::size_t>(index)));
  }
  if (edit.name) record.SetValue("key", *edit.name);
  if (edit.host) record.SetValue("host", *edit.host);
  if (edit.port) record.SetValue("port", *edit.port);
  if (edit.tls) record.SetValue("tls", *edit.tls);
  if (edit.user) record.SetValue("userid", *edit.user);
  if (edit.auth) record.SetValue("auth", *edit.auth ? "1" : "0");
  if (edit.lastarticle) {
    if (!edit.lastarticle->empty() && edit.lastarticle->find_first_not_of("0123456789") != std::string::npos) {
      return Fail(ctx, "--lastarticle needs an article number, not '" + *edit.lastarticle + "'", 2);
    }
    record.SetValue("lastarticle", *edit.lastarticle);
  }
  if (edit.new_password || (adding && record.Value("auth") == "1")) {
    auto secret = ReadSecretLines(ctx, {"Password"});
    if (!secret) return 1;
    record.SetValue("password", (*secret)[0]);
    WipeSecretLines(*secret);
  }
  const std::string old_name = adding ? std::string() : hosts.Name(static_cast<std::size_t>(index));
  const int status = Save(ctx, db, hosts, record, old_name);
  if (status == 0 && !adding && edit.name) {
    // A renamed active account stays the active one.
    Settings settings(ctx.paths.IniFileName());
    if (SameNameIgnoringCase(settings.Text("account"), old_name)) settings.SetText("account", *edit.name);
  }
  return status;
}

int List(Context& ctx, TFHRDB& db) {
  StringList hosts;
  if (!db.ReadHosts(hosts)) return Fail(ctx, "I can't read the news accounts");
  const std::string active = Settings(ctx.paths.IniFileName()).Text("account");
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    StringList record;
    record.SetCommaText(hosts.ValueFromIndex(i));
    auto shown = [&record](const char* field) {
      const std::string value = record.Value(field);
      return value.empty() ? std::string("-") : value;
    };
    ctx.out << (SameNameIgnoringCase(hosts.Name(i), active) ? "* " : "  ") << hosts.Name(i) << " " << shown("host")
            << " " << shown("port") << " tls=" << shown("tls") << " auth=" << (record.Value("auth") == "1" ? "1" : "0")
            << " user=" << shown("userid") << " lastarticle=" << shown("lastarticle") << "\n";
    for (std::string& field : record) WipeText(field);
  }
  for (std::string& line : hosts) WipeText(line);
  return 0;
}

int Remove(Context& ctx, TFHRDB& db, const std::string& name) {
  StringList hosts;
  if (!db.ReadHosts(hosts)) return Fail(ctx, "I can't read the news accounts");
  const int index = hosts.IndexOfName(name);
  if (index < 0) return Fail(ctx, "there is no news account " + name);
  WipeText(hosts[static_cast<std::size_t>(index)]);
  hosts.Delete(static_cast<std::size_t>(index));
  if (!db.WriteHosts(hosts)) return Fail(ctx, "I can't store the news accounts");
  Settings settings(ctx.paths.IniFileName());
  if (SameNameIgnoringCase(settings.Text("account"), name)) settings.SetText("account", "none");
  return 0;
}

int Use(Context& ctx, TFHRDB& db, const std::string& name) {
  return ChooseRecord(ctx, db, name, {&TFHRDB::ReadHosts, "account", "news account", "news accounts"});
}

}  // namespace

int RunAccount(Context& ctx, const std::vector<std::string>& args) {
  return RunRecordVerbs(ctx, args, {kUsage, Edit, List, Remove, Use});
}

}  // namespace fhr::cli
