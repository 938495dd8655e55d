#include <sys/stat.h>

#include <filesystem>
#include <ostream>

#include "cli/commands.h"
#include "core/text_helpers.h"
#include "gnupg/gpg_conf.h"
#include "gnupg/gpg_keys.h"
#include "gnupg/gpg_setup.h"

namespace fhr::cli {

namespace {

bool IsFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The value of "--name FILE" or "--name=FILE" at args[*i]; advances *i.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t* i, const std::string& name) {
  const std::string& arg = args[*i];
  if (arg.starts_with(name + "=")) return arg.substr(name.size() + 1);
  if (arg == name && *i + 1 < args.size()) return args[++*i];
  return std::nullopt;
}

}  // namespace

int RunKeys(Context& ctx, const std::vector<std::string>& args) {
  if (!args.empty()) return Fail(ctx, "keys takes no arguments", 2);
  const GpgSetup setup = GpgSetupFor(ctx.paths);
  StringList lines;
  if (!ListSecretKeys(setup, &lines, "")) return Fail(ctx, "I could not list the keys with " + setup.program);
  for (const std::string& line : lines) {
    if (!line.starts_with("sec:")) continue;
    const std::string id = FieldOf(4, line, ':', "");
    if (id.size() < 8) continue;
    ctx.out << "0x" << id.substr(id.size() - 8) << " " << FieldOf(9, line, ':', "") << "\n";
  }
  return 0;
}

int RunKeyrings(Context& ctx, const std::vector<std::string>& args) {
  std::optional<std::string> secret;
  std::optional<std::string> pub;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].starts_with("--secret")) {
      secret = OptionValue(args, &i, "--secret");
      if (!secret) return Fail(ctx, "usage: fhr-cli keyrings [--secret FILE] [--public FILE]", 2);
    } else if (args[i].starts_with("--public")) {
      pub = OptionValue(args, &i, "--public");
      if (!pub) return Fail(ctx, "usage: fhr-cli keyrings [--secret FILE] [--public FILE]", 2);
    } else {
      return Fail(ctx, "usage: fhr-cli keyrings [--secret FILE] [--public FILE]", 2);
    }
  }
  const std::string& home = ctx.paths.gnupgHome;
  GpgConfKeyrings keyrings;
  std::string error;
  if (!ReadGpgConf(home, &keyrings, &error)) return Fail(ctx, error);
  if (!secret && !pub) {
    ctx.out << "secret keyring: " << keyrings.secretKeyring << "\n"
            << "public keyring: " << keyrings.publicKeyring << "\n";
    return 0;
  }
  if (IsFile(ctx.paths.CompanionFileName())) {
    return Fail(ctx, "NOTICE: Make your keyring changes from your FHL program.");
  }
  for (std::optional<std::string>* file : {&secret, &pub}) {
    if (!*file) continue;
    if (!IsFile(**file)) return Fail(ctx, "the keyring '" + **file + "' does not exist");
    **file = std::filesystem::absolute(**file).lexically_normal().string();
  }
  const std::string newSecret = secret.value_or(keyrings.secretKeyring);
  const std::string newPublic = pub.value_or(keyrings.publicKeyring);
  if (newSecret.empty()) return Fail(ctx, "no secret keyring is set yet: give --secret FILE as well");
  if (newPublic.empty()) return Fail(ctx, "no public keyring is set yet: give --public FILE as well");
  if (!WriteGpgConf(home, ctx.paths.appDir, newSecret, newPublic, &error)) return Fail(ctx, error);
  return 0;
}

}  // namespace fhr::cli
