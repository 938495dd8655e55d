// fhr-cli db: the records of the data directory's database by key path.
#include <iterator>
#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/db_path.h"
#include "storage/fhrdb.h"

namespace fhr::cli {
namespace {

constexpr const char* kUsage = "usage: fhr-cli db ls [PATH] | cat PATH | put PATH | rm PATH";

int Ls(Context& ctx, TFHRDB& db, const std::string& key, const std::string& path) {
  if (!key.empty() && db.KindOf(key) != TDB::EntryKind::kFolder) {
    return Fail(ctx, "'" + path + "' is not a folder of the database");
  }
  std::vector<std::string> names;
  if (!db.ListFolder(key, &names)) return Fail(ctx, "I can't read the folder '" + path + "'");
  for (const std::string& name : names) ctx.out << EscapeDbName(name) << "\n";
  return 0;
}

int Cat(Context& ctx, TFHRDB& db, const std::string& key, const std::string& path) {
  if (db.KindOf(key) == TDB::EntryKind::kMissing) return Fail(ctx, "the database has no record '" + path + "'");
  TDBbuffer buffer;
  if (!db.ReadBuffer(key, buffer)) return Fail(ctx, "I can't read the record '" + path + "'");
  ctx.out << buffer.Text();
  return 0;
}

int Put(Context& ctx, TFHRDB& db, const std::string& key, const std::string& path) {
  if (db.KindOf(key) == TDB::EntryKind::kFolder) return Fail(ctx, "'" + path + "' is a folder, not a record");
  TDBbuffer buffer(std::string(std::istreambuf_iterator<char>(ctx.in), std::istreambuf_iterator<char>()));
  if (!db.WriteBuffer(key, &buffer)) return Fail(ctx, "I can't write the record '" + path + "'");
  return 0;
}

int Rm(Context& ctx, TFHRDB& db, const std::string& key, const std::string& path) {
  std::vector<std::string> children;
  switch (db.KindOf(key)) {
    case TDB::EntryKind::kMissing:
      return Fail(ctx, "the database has no record '" + path + "'");
    case TDB::EntryKind::kFolder:
      // Removing a folder would leave its records unreachable in the file.
      if (!db.ListFolder(key, &children) || !children.empty()) {
        return Fail(ctx, "'" + path + "' is a folder that is not empty");
      }
      break;
    case TDB::EntryKind::kRecord:
      break;
  }
  if (!db.DeleteRecord(key)) return Fail(ctx, "I can't delete '" + path + "'");
  return 0;
}

}  // namespace

int RunDb(Context& ctx, const std::vector<std::string>& args) {
  const std::string verb = args.empty() ? "" : args[0];
  const bool listing = verb == "ls" && args.size() <= 2;
  const bool onePath = (verb == "cat" || verb == "put" || verb == "rm") && args.size() == 2;
  if (!listing && !onePath) return Fail(ctx, kUsage, 2);
  const std::string path = args.size() == 2 ? args[1] : "";
  std::string error;
  const std::optional<std::string> key = ParseDbPath(path, &error);
  if (!key) return Fail(ctx, error, 2);
  if (onePath && key->empty()) return Fail(ctx, kUsage, 2);

  std::unique_ptr<TFHRDB> db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I can't open the database " + ctx.paths.DbFileName());
  int status = 0;
  if (verb == "ls") status = Ls(ctx, *db, *key, path);
  if (verb == "cat") status = Cat(ctx, *db, *key, path);
  if (verb == "put") status = Put(ctx, *db, *key, path);
  if (verb == "rm") status = Rm(ctx, *db, *key, path);
  if (db->Changed() && !db->SaveDatabase()) return Fail(ctx, "I couldn't save the database");
  return status;
}

}  // namespace fhr::cli
