// fhr-cli proxy: the SOCKS proxies (add, change, list, remove, choose the
// active one). A proxy password comes from stdin or --passphrase-fd.
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/record_commands.h"
#include "cli/secret_input.h"
#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "news/proxy_record.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

constexpr const char* kUsage =
    "usage: fhr-cli proxy add [NAME] --host HOST --port N --socks 4|4a|5 [--tor] [--user ID --auth] | "
    "set NAME [--name NEW] [--host HOST] [--port N] [--socks V] [--tor|--no-tor] [--user ID] "
    "[--auth|--no-auth] [--password] | ls | rm NAME | use NAME|none";

struct ProxyEdit {
  std::optional<std::string> name, host, port, socks, user;
  std::optional<bool> tor, auth;
  bool new_password = false;
};

bool ParseEdit(const std::vector<std::string>& args, std::size_t from, ProxyEdit* edit) {
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
    else if (arg == "--socks") ok = value(&edit->socks);
    else if (arg == "--user") ok = value(&edit->user);
    else if (arg == "--tor") edit->tor = true;
    else if (arg == "--no-tor") edit->tor = false;
    else if (arg == "--auth") edit->auth = true;
    else if (arg == "--no-auth") edit->auth = false;
    else if (arg == "--password") edit->new_password = true;
    else ok = false;
    if (!ok) return false;
  }
  return true;
}

bool KnownSocks(const std::string& value) {
  for (const char* known : {"no", "4", "4a", "5"}) {
    if (SameNameIgnoringCase(value, known)) return true;
  }
  return false;
}

// The record with its fields in stored order, as the proxy manager writes it.
StringList Ordered(const StringList& record) {
  StringList ordered;
  for (std::string_view field : kProxyFields) ordered.SetValue(std::string(field), record.Value(std::string(field)));
  return ordered;
}

// The Tor questions of the proxy dialog; false when the user cancels.
bool AskTorQuestions(StringList& record) {
  if (LooksLikeTor(record) &&
      MsgDialog("Your host is '127.0.0.1' and your NNTP port is '9050'.  \nIs this a TOR proxy?", MsgKind::Confirmation,
                kMbYesNo) == kMrYes) {
    record.SetValue("tor", "1");
    record.SetValue("socks", "4a");
  }
  if (TorWithoutSocks4a(record)) {
    const int answer = MsgDialog(
        "You've indicated this is a TOR proxy but you haven't chosen  \nSocks Level 4a. TOR requires Socks 4a. "
        "Shall I correct that?   ",
        MsgKind::Confirmation, kMbYesNoCancel);
    if (answer == kMrCancel) return false;
    if (answer == kMrYes) record.SetValue("socks", "4a");
  }
  return true;
}

int Edit(Context& ctx, TFHRDB& db, const std::vector<std::string>& args, bool adding) {
  StringList proxies;
  if (!db.ReadProxies(proxies)) return Fail(ctx, "I can't read the proxies");
  std::vector<std::string> names;
  for (std::size_t i = 0; i < proxies.size(); ++i) names.push_back(proxies.Name(i));

  std::size_t from = 1;
  std::string name;
  if (args.size() > 1 && !args[1].starts_with("--")) {
    name = args[1];
    from = 2;
  } else if (adding) {
    name = NextProxyName(names);
  } else {
    return Fail(ctx, kUsage, 2);
  }
  ProxyEdit edit;
  if (!ParseEdit(args, from, &edit) || (adding && edit.name)) return Fail(ctx, kUsage, 2);
  if (edit.socks && !KnownSocks(*edit.socks)) return Fail(ctx, "--socks takes 4, 4a or 5, not '" + *edit.socks + "'", 2);

  const int index = proxies.IndexOfName(name);
  StringList record;
  if (adding) {
    if (index >= 0) return Fail(ctx, "The name you've chosen for this proxy, " + name + ",  \nalready exists!");
    record.SetValue("socks", "no");
  } else {
    if (index < 0) return Fail(ctx, "there is no proxy " + name);
    record.SetCommaText(proxies.ValueFromIndex(static_cast<std::size_t>(index)));
  }
  const std::string old_name = index >= 0 ? proxies.Name(static_cast<std::size_t>(index)) : std::string();
  record.SetValue("proxy", edit.name.value_or(adding ? name : old_name));
  if (edit.host) record.SetValue("host", *edit.host);
  if (edit.port) record.SetValue("port", *edit.port);
  if (edit.socks) record.SetValue("socks", *edit.socks);
  if (edit.user) record.SetValue("userid", *edit.user);
  if (edit.tor) record.SetValue("tor", *edit.tor ? "1" : "0");
  if (edit.auth) record.SetValue("auth", *edit.auth ? "1" : "0");
  if (edit.new_password || (adding && record.Value("auth") == "1")) {
    auto secret = ReadSecretLines(ctx, {"Proxy password"});
    if (!secret) return 1;
    record.SetValue("password", (*secret)[0]);
    WipeSecretLines(*secret);
  }

  std::vector<std::string> others;
  for (const std::string& other : names) {
    if (old_name.empty() || !SameNameIgnoringCase(other, old_name)) others.push_back(other);
  }
  ProxyCheck check = CheckProxyRecord(record, others);
  if (check.problem == ProxyProblem::kNone && !AskTorQuestions(record)) return Fail(ctx, "nothing was changed");
  if (check.problem != ProxyProblem::kNone) return Fail(ctx, check.message);
  if (record.Value("tor").empty()) record.SetValue("tor", "0");
  if (record.Value("auth").empty()) record.SetValue("auth", "0");

  const std::string line = record.Value("proxy") + "=" + Ordered(record).CommaText();
  if (index >= 0) {
    proxies[static_cast<std::size_t>(index)] = line;
  } else {
    proxies.Add(line);
  }
  const bool written = db.WriteProxies(proxies);
  for (std::string& text : proxies) WipeText(text);
  for (std::string& field : record) WipeText(field);
  if (!written) return Fail(ctx, "I can't store the proxies");
  if (!adding && edit.name) {
    // A renamed active proxy stays the active one.
    Settings settings(ctx.paths.IniFileName());
    if (SameNameIgnoringCase(settings.Text("nntpproxy"), old_name)) settings.SetText("nntpproxy", *edit.name);
  }
  if (adding) ctx.out << name << "\n";
  return 0;
}

int List(Context& ctx, TFHRDB& db) {
  StringList proxies;
  if (!db.ReadProxies(proxies)) return Fail(ctx, "I can't read the proxies");
  const std::string active = Settings(ctx.paths.IniFileName()).Text("nntpproxy");
  ctx.out << (active == kNoProxy ? "* " : "  ") << "none\n";
  for (std::size_t i = 0; i < proxies.size(); ++i) {
    StringList record;
    record.SetCommaText(proxies.ValueFromIndex(i));
    // "none" itself always means no proxy, whatever is stored under it.
    const bool is_active = active != kNoProxy && SameNameIgnoringCase(proxies.Name(i), active);
    ctx.out << (is_active ? "* " : "  ") << proxies.Name(i) << " " << record.Value("host") << " "
            << record.Value("port") << " socks=" << record.Value("socks") << (record.Value("tor") == "1" ? " tor" : "")
            << (record.Value("auth") == "1" ? " auth user=" + record.Value("userid") : std::string()) << "\n";
    for (std::string& field : record) WipeText(field);
  }
  for (std::string& line : proxies) WipeText(line);
  return 0;
}

int Remove(Context& ctx, TFHRDB& db, const std::string& name) {
  StringList proxies;
  if (!db.ReadProxies(proxies)) return Fail(ctx, "I can't read the proxies");
  const int index = proxies.IndexOfName(name);
  if (index < 0) return Fail(ctx, "there is no proxy " + name);
  WipeText(proxies[static_cast<std::size_t>(index)]);
  proxies.Delete(static_cast<std::size_t>(index));
  if (!db.WriteProxies(proxies)) return Fail(ctx, "I can't store the proxies");
  Settings settings(ctx.paths.IniFileName());
  if (settings.Text("nntpproxy") != kNoProxy && SameNameIgnoringCase(settings.Text("nntpproxy"), name)) {
    settings.SetText("nntpproxy", kNoProxy);
    MsgDialog("That was your default NNTP proxy. Now, there's none assigned.  ", MsgKind::Warning, kMbOk);
  }
  return 0;
}

int Use(Context& ctx, TFHRDB& db, const std::string& name) {
  return ChooseRecord(ctx, db, name, {&TFHRDB::ReadProxies, "nntpproxy", "proxy", "proxies"});
}

}  // namespace

int RunProxy(Context& ctx, const std::vector<std::string>& args) {
  return RunRecordVerbs(ctx, args, {kUsage, Edit, List, Remove, Use});
}

}  // namespace fhr::cli
