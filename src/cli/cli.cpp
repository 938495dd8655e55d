#include "cli/cli.h"

#include <charconv>
#include <iostream>

#include <unistd.h>

#include "cli/cli_msgdialog.h"
#include "cli/cli_passphrase_prompt.h"
#include "cli/command.h"
#include "core/version.h"

namespace fhr::cli {
namespace {

void PrintHelp(std::ostream& out) {
  out << "Usage: fhr-cli [OPTIONS] COMMAND [ARGS]\n"
         "Reads and manages the nym mail of the desktop program fhr from the command line,\n"
         "over the same data directory.\n\n"
         "Options:\n"
         "  --data-dir DIR       use DIR as the data directory (else FHR_DATA_DIR,\n"
         "                       datadir.ini beside the program, or the usual place)\n"
         "  --yes, --no          answer every yes/no question so\n"
         "  --count N            answer the article-count question with N\n"
         "  --passphrase-fd N    read passphrases from file descriptor N\n"
         "  -h, --help           show this help and exit\n"
         "  -V, --version        show the version and exit\n\n"
         "Commands:\n";
  for (const Command& c : Commands()) {
    std::string head = std::string(c.name) + (*c.usage ? std::string(" ") + c.usage : "");
    out << "  " << head;
    if (head.size() < 28) {
      out << std::string(28 - head.size(), ' ') << c.summary << "\n";
    } else {
      out << "\n" << std::string(30, ' ') << c.summary << "\n";
    }
  }
}

// A message of several lines, as the engine writes them, on one line.
std::string OneLine(std::string text) {
  for (char& ch : text) {
    if (ch == '\n' || ch == '\r') ch = ' ';
  }
  return text;
}

template <typename T>
bool ParseNumber(const std::string& text, T* value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

int Fail(Context& ctx, const std::string& message, int status) {
  ctx.err << "fhr-cli: " << OneLine(message) << "\n";
  return status;
}

int OpenDataDir(Context& ctx) {
  if (ctx.lock) return 0;
  ctx.paths = ResolvePaths(ProcessPathInputs(ctx.dataDirOption));
  if (ctx.paths.warning) Fail(ctx, ctx.paths.warning->text, 0);
  if (ctx.paths.error) return Fail(ctx, ctx.paths.error->text);
  std::string holder;
  ctx.lock = DataDirLock::Acquire(ctx.paths.LockFileName(), "fhr-cli", &holder);
  if (!ctx.lock) return Fail(ctx, DataDirInUseText(ctx.paths.dataDir, holder));
  if (auto problem = ApplyEnvironment(ctx.paths)) return Fail(ctx, problem->text);
  return 0;
}

int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
  Context ctx{in, out, err, {}, {}, {}, {}};
  std::optional<std::string> dataDir;
  std::vector<std::string> rest;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      std::string prefix = std::string(name) + "=";
      if (arg.starts_with(prefix)) return arg.substr(prefix.size());
      if (i + 1 < argc) return std::string(argv[++i]);
      Fail(ctx, std::string("option ") + name + " needs a value", 2);
      return std::nullopt;
    };
    auto is = [&](const char* name) { return arg == name || arg.starts_with(std::string(name) + "="); };
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      rest.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "-h" || arg == "--help") {
      PrintHelp(out);
      return 0;
    } else if (arg == "-V" || arg == "--version") {
      out << "fhr-cli " << kVersion << " (" << ProgramTitle() << ")\n";
      return 0;
    } else if (is("--data-dir")) {
      dataDir = value("--data-dir");
      if (!dataDir) return 2;
    } else if (arg == "--yes" || arg == "--no") {
      ctx.answers.yes = arg == "--yes";
    } else if (is("--count")) {
      auto v = value("--count");
      long long n = 0;
      if (!v) return 2;
      if (!ParseNumber(*v, &n)) return Fail(ctx, "--count needs a whole number, not '" + *v + "'", 2);
      ctx.answers.count = n;
    } else if (is("--passphrase-fd")) {
      auto v = value("--passphrase-fd");
      int fd = 0;
      if (!v) return 2;
      if (!ParseNumber(*v, &fd) || fd < 0)
        return Fail(ctx, "--passphrase-fd needs a file descriptor number, not '" + *v + "'", 2);
      ctx.answers.passphraseFd = fd;
    } else {
      // Options of the subcommand itself.
      rest.push_back(arg);
    }
  }
  if (rest.empty()) {
    PrintHelp(err);
    return 2;
  }

  const Command* command = nullptr;
  for (const Command& c : Commands()) {
    if (rest[0] == c.name) command = &c;
  }
  if (!command) return Fail(ctx, "unknown command '" + rest[0] + "' (see fhr-cli --help)", 2);

  CliMsgDialogHost dialogs(in, err, ctx.answers.yes, &in == &std::cin && isatty(STDIN_FILENO));
  ScopedMsgDialogHost installed(&dialogs);
  // Every command that opens a secure-mode database asks for its passphrase here.
  CliPassphrasePrompt passphrases(ctx);
  ScopedPassphrasePrompt installedPrompt(&passphrases);
  ctx.dataDirOption = dataDir;
  // The program directory is known without touching the data directory.
  {
    std::string program = ProcessPathInputs(std::nullopt).programPath;
    ctx.paths.appDir = program.substr(0, program.rfind('/') + 1);
  }
  if (command->needsDataDir) {
    if (int status = OpenDataDir(ctx)) return status;
  }
  return command->run(ctx, std::vector<std::string>(rest.begin() + 1, rest.end()));
}

}  // namespace fhr::cli
