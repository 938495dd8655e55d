// fhr-cli ls, show and rm: the stored messages of the inbox, found by their
// arrival stamps.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "news/list_key.h"
#include "news/msgmans.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

// The inbox's keys in the message list's order: newest first.
bool NewestFirst(TFHRDB& db, std::vector<std::string>* keys) {
  StringList listed;
  if (!db.ListInbox(listed)) return false;
  keys->assign(listed.begin(), listed.end());
  std::sort(keys->begin(), keys->end(), std::greater<>());
  return true;
}

// A listing field safe for a tab-separated line: control bytes, DEL and the
// backslash are written \xHH; bytes from 0x80 up pass, so UTF-8 stays
// readable.
std::string ListingField(const std::string& text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '\\') {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

std::unique_ptr<TFHRDB> OpenDatabase(Context& ctx) { return OpenMailDatabase(ctx.paths.DbFileName()); }

// The key of the stored message with `stamp`; "" after reporting why there
// is none, with the exit status in `status`.
std::string FindMessage(Context& ctx, TFHRDB& db, const std::string& stamp, int* status) {
  std::vector<std::string> keys;
  if (!NewestFirst(db, &keys)) {
    *status = Fail(ctx, "I couldn't read the list of stored messages");
    return "";
  }
  const auto found =
      std::find_if(keys.begin(), keys.end(), [&](const std::string& key) { return StampOf(key) == stamp; });
  if (found == keys.end()) {
    *status = Fail(ctx, "no stored message has the stamp " + stamp + " (see fhr-cli ls)");
    return "";
  }
  return *found;
}

}  // namespace

int RunListMessages(Context& ctx, const std::vector<std::string>& args) {
  if (!args.empty()) return Fail(ctx, "ls takes no arguments", 2);
  auto db = OpenDatabase(ctx);
  if (!db) return Fail(ctx, "I couldn't open the database " + ctx.paths.DbFileName());
  std::vector<std::string> keys;
  if (!NewestFirst(*db, &keys)) return Fail(ctx, "I couldn't read the list of stored messages");
  for (const std::string& key : keys) {
    const ListKeyFields f = ParseListKey(key);
    ctx.out << ListingField(f.stamp) << '\t' << (f.read ? "read" : "new") << '\t' << StampDisplayDate(f.stamp)
            << '\t' << ListingField(f.from) << '\t' << ListingField(f.subject) << '\t'
            << ListingField(f.textLength) << '\n';
  }
  return 0;
}

int RunShowMessage(Context& ctx, const std::vector<std::string>& args) {
  if (args.size() != 1 || !IsStamp(args[0])) return Fail(ctx, "usage: fhr-cli show STAMP (15 digits)", 2);
  auto db = OpenDatabase(ctx);
  if (!db) return Fail(ctx, "I couldn't open the database " + ctx.paths.DbFileName());
  int status = 0;
  const std::string key = FindMessage(ctx, *db, args[0], &status);
  if (key.empty()) return status;
  StringList lines;
  if (!db->ReadMessage(key, lines)) return Fail(ctx, "I couldn't read the message " + args[0]);
  TMsgManager(lines).DeleteHeader(kSubjectNoHeader);
  for (const std::string& line : lines) ctx.out << line << '\n';
  return 0;
}

int RunRemoveMessage(Context& ctx, const std::vector<std::string>& args) {
  if (args.size() != 1 || !IsStamp(args[0])) return Fail(ctx, "usage: fhr-cli rm STAMP (15 digits)", 2);
  auto db = OpenDatabase(ctx);
  if (!db) return Fail(ctx, "I couldn't open the database " + ctx.paths.DbFileName());
  int status = 0;
  const std::string key = FindMessage(ctx, *db, args[0], &status);
  if (key.empty()) return status;
  if (!db->DeleteMessage(key)) return Fail(ctx, "I couldn't delete the message " + args[0]);
  if (!db->SaveDatabase()) {
    // The failure was shown and the old file is intact; closing must not
    // try, and report, the same save again.
    db->SetChanged(false);
    return Fail(ctx, "the message " + args[0] + " was not deleted");
  }
  return 0;
}

}  // namespace fhr::cli
