#include <ostream>

#include "cli/commands.h"

namespace fhr::cli {

int RunPaths(Context& ctx, const std::vector<std::string>& args) {
  if (!args.empty()) return Fail(ctx, "paths takes no arguments", 2);
  static const char* kSources[] = {"--data-dir", "FHR_DATA_DIR", "datadir.ini", "installed", "portable"};
  const ResolvedPaths& p = ctx.paths;
  ctx.out << "program directory: " << p.appDir << "\n"
          << "data directory: " << p.dataDir << "\n"
          << "chosen by: " << kSources[static_cast<int>(p.source)] << "\n"
          << "GnuPG home: " << p.gnupgHome << "\n"
          << "settings file: " << p.IniFileName() << "\n"
          << "database file: " << p.DbFileName() << "\n";
  return 0;
}

}  // namespace fhr::cli
