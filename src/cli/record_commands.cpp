#include "cli/record_commands.h"

#include "core/settings.h"

namespace fhr::cli {

int RunRecordVerbs(Context& ctx, const std::vector<std::string>& args, const RecordVerbs& verbs) {
  const std::string verb = args.empty() ? "" : args[0];
  const bool oneName = (verb == "rm" || verb == "use") && args.size() == 2;
  if (verb != "add" && verb != "set" && !(verb == "ls" && args.size() == 1) && !oneName) {
    return Fail(ctx, verbs.usage, 2);
  }
  std::unique_ptr<TFHRDB> db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I can't open the database " + ctx.paths.DbFileName());
  int status = 0;
  if (verb == "add" || verb == "set") status = verbs.edit(ctx, *db, args, verb == "add");
  if (verb == "ls") status = verbs.list(ctx, *db);
  if (verb == "rm") status = verbs.remove(ctx, *db, args[1]);
  if (verb == "use") status = verbs.use(ctx, *db, args[1]);
  if (db->Changed() && !db->SaveDatabase()) return Fail(ctx, "I couldn't save the database");
  return status;
}

int ChooseRecord(Context& ctx, TFHRDB& db, const std::string& name, const RecordChoice& choice) {
  std::string chosen = "none";
  if (name != "none") {
    StringList records;
    if (!(db.*choice.read)(records)) return Fail(ctx, std::string("I can't read the ") + choice.plural);
    const int index = records.IndexOfName(name);
    if (index < 0) return Fail(ctx, std::string("there is no ") + choice.noun + " " + name);
    chosen = records.Name(static_cast<std::size_t>(index));
  }
  std::string error;
  if (!Settings(ctx.paths.IniFileName()).SetText(choice.settingName, chosen, &error)) return Fail(ctx, error);
  return 0;
}

}  // namespace fhr::cli
