#include <ostream>

#include "cli/commands.h"
#include "core/integer_text.h"
#include "core/settings.h"

namespace fhr::cli {
namespace {

// The value as the program reads it: flags as 1 or 0, integers clamped.
std::string EffectiveValue(const Settings& settings, const SettingSpec& entry) {
  switch (entry.type) {
    case SettingType::kFlag:
      return settings.Flag(entry.name) ? "1" : "0";
    case SettingType::kInteger:
      return std::to_string(settings.Int(entry.name));
    default:
      return settings.Text(entry.name);
  }
}

}  // namespace

int RunSettings(Context& ctx, const std::vector<std::string>& args) {
  Settings settings(ctx.paths.IniFileName());
  const std::string verb = args.empty() ? "" : args[0];
  if (verb == "ls" && args.size() == 1) {
    for (const SettingSpec& entry : SettingsCatalog()) {
      ctx.out << entry.name << "=" << EffectiveValue(settings, entry) << "\n";
    }
    return 0;
  }
  if ((verb == "get" && args.size() == 2) || (verb == "set" && args.size() == 3)) {
    const SettingSpec* entry = FindSetting(args[1]);
    if (!entry) return Fail(ctx, "unknown setting '" + args[1] + "' (see fhr-cli settings ls)");
    if (verb == "get") {
      ctx.out << EffectiveValue(settings, *entry) << "\n";
      return 0;
    }
    const std::string& value = args[2];
    if ((entry->type == SettingType::kFlag || entry->type == SettingType::kInteger) && !ParseInteger(value)) {
      return Fail(ctx, "the setting '" + std::string(entry->name) + "' needs a whole number, not '" + value + "'");
    }
    std::string error;
    if (!settings.Write(kSettingsSection, entry->name, value, &error)) return Fail(ctx, error);
    return 0;
  }
  return Fail(ctx, "usage: fhr-cli settings get NAME | set NAME VALUE | ls", 2);
}

}  // namespace fhr::cli
