// fhr-cli pack: copies the live records of the database into a fresh file.
#include <ostream>

#include "cli/commands.h"
#include "storage/db_packer.h"

namespace fhr::cli {

int RunPack(Context& ctx, const std::vector<std::string>& args) {
  if (!args.empty()) return Fail(ctx, "usage: fhr-cli pack", 2);
  std::unique_ptr<TFHRDB> db = OpenMailDatabase(ctx.paths.DbFileName());
  if (!db) return Fail(ctx, "I can't open the database " + ctx.paths.DbFileName());
  switch (PackDatabase(db)) {
    case PackOutcome::kPacked:
      return 0;
    case PackOutcome::kDeclined:
      return Fail(ctx, "the database was not packed; it is unchanged");
    case PackOutcome::kSaveFailed:
      break;
  }
  // The packed copy is lost when the program ends; the old file stays.
  db->SetChanged(false);
  return Fail(ctx, "the packed database could not be saved; the old file is unchanged");
}

}  // namespace fhr::cli
