// The command-line front end's frame: options, exit statuses, one-line
// errors, the data directory's lock, and the settings command.
#include <gtest/gtest.h>

#include "core/datadir_lock.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

using test::RunCli;

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

TEST(Cli, HelpAndVersion) {
  auto help = RunCli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: fhr-cli [OPTIONS] COMMAND"), std::string::npos);
  EXPECT_NE(help.out.find("--data-dir DIR"), std::string::npos);
  EXPECT_NE(help.out.find("settings get NAME"), std::string::npos);

  auto version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "fhr-cli 0.9d11 (Fernhill DIZ Mail  0.9d11)\n");
}

TEST(Cli, MistakesGiveOneLineAndNonZeroStatus) {
  test::TempDir t;
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* text;
  } cases[] = {
      {{}, 2, "Usage: fhr-cli"},
      {{"frobnicate"}, 2, "fhr-cli: unknown command 'frobnicate' (see fhr-cli --help)"},
      {{"--data-dir"}, 2, "fhr-cli: option --data-dir needs a value"},
      {{"--count", "ten", "paths"}, 2, "fhr-cli: --count needs a whole number, not 'ten'"},
      {{"--passphrase-fd=-1", "paths"}, 2, "fhr-cli: --passphrase-fd needs a file descriptor number"},
      {{"--data-dir", t.path(), "paths", "extra"}, 2, "fhr-cli: paths takes no arguments"},
      {{"--data-dir", t.path(), "settings", "get", "nosuch"}, 1, "fhr-cli: unknown setting 'nosuch'"},
      {{"--data-dir", t.path(), "settings", "set", "loglines", "many"}, 1,
       "fhr-cli: the setting 'loglines' needs a whole number, not 'many'"},
      {{"--data-dir", t.file("f/x"), "paths"}, 1, "fhr-cli: I was unable to create the data directory"},
  };
  t.write("f", "a file where a folder should be");
  for (const Case& c : cases) {
    auto r = RunCli(c.args);
    EXPECT_EQ(r.status, c.status) << c.text;
    EXPECT_EQ(r.err.rfind(c.text, 0), 0u) << r.err;
    if (!c.args.empty()) {
      EXPECT_EQ(Lines(r.err), 1u) << r.err;
    }
  }
}

TEST(Cli, RefusesWhileAnotherProcessHoldsTheDataDirectory) {
  test::TempDir t;
  std::string holder;
  auto lock = DataDirLock::Acquire(t.file("fhr.lock"), "fhr", &holder);
  ASSERT_TRUE(lock);
  auto r = RunCli({"--data-dir", t.path(), "settings", "set", "loglines", "10"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("is in use by fhr, pid "), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.err), 1u);
  EXPECT_EQ(t.read("fhr.ini"), "");  // nothing was written
  // Commands that do not touch the directory still work.
  EXPECT_EQ(RunCli({"--version"}).status, 0);
}

TEST(Cli, SettingsAreReadAsTheProgramReadsThem) {
  test::TempDir t;
  auto cli = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", t.path()});
    return RunCli(args);
  };
  EXPECT_EQ(cli({"settings", "get", "checkmailmins"}).out, "30\n");
  EXPECT_EQ(cli({"settings", "set", "CheckMailMins", "500"}).status, 0);
  EXPECT_EQ(cli({"settings", "get", "checkmailmins"}).out, "120\n");  // clamped on read
  EXPECT_EQ(cli({"settings", "set", "newsgroup", "alt.test"}).status, 0);
  EXPECT_EQ(cli({"settings", "get", "NEWSGROUP"}).out, "alt.test\n");
  auto ls = cli({"settings", "ls"});
  EXPECT_NE(ls.out.find("\nnewsgroup=alt.test\n"), std::string::npos) << ls.out;
  EXPECT_NE(ls.out.find("editorfont=Courier New,10,r,0\n"), std::string::npos) << ls.out;
  EXPECT_EQ(t.read("fhr.ini"), "[settings]\ncheckmailmins=500\nnewsgroup=alt.test\n");
}

TEST(Cli, PathsReportsTheChosenDirectory) {
  test::TempDir t;
  auto r = RunCli({"--data-dir", t.file("new dir"), "paths"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("data directory: " + t.file("new dir") + "/\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("chosen by: --data-dir\n"), std::string::npos);
  EXPECT_NE(r.out.find("settings file: " + t.file("new dir") + "/fhr.ini\n"), std::string::npos);
}

}  // namespace
}  // namespace fhr
