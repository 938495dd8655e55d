// fhr-cli secure on/passphrase/off, and ordinary commands on a secure-mode
// database, which ask once for its passphrase.
#include <gtest/gtest.h>

#include "storage/db_manager.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

using test::RunCli;

TEST(CliSecure, OnPassphraseOffAndCommandsInBetween) {
  test::TempDir dir;
  const auto cli = [&](std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--data-dir", dir.path()});
    return RunCli(args, input);
  };
  ASSERT_EQ(cli({"db", "put", "notes"}, "private words").status, 0);
  EXPECT_EQ(cli({"secure", "status"}).out, "off\n");
  EXPECT_EQ(cli({"secure", "off"}).status, 1);

  // Too short, then accepted.
  auto r = cli({"secure", "on"}, "abc\nabc\ncorrect horse\ncorrect horse\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("at least 6 characters"), std::string::npos) << r.err;
  const std::string file = dir.read("fhr.db");
  EXPECT_FALSE(file.starts_with(kDbMagic));
  EXPECT_EQ(file.find("private"), std::string::npos);

  // Every command asks once.
  r = cli({"db", "cat", "notes"}, "correct horse\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "private words");
  r = cli({"db", "cat", "notes"}, "wrong one\n");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Bad passphrase!"), std::string::npos) << r.err;

  // Opening asks once; the permission to change asks again.
  r = cli({"secure", "passphrase"}, "correct horse\ncorrect horse\nbattery staple\nbattery staple\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(cli({"secure", "status"}, "battery staple\n").out, "on\n");

  // Off needs the passphrase and the confirmation.
  r = cli({"--no", "secure", "off"}, "battery staple\nbattery staple\n");
  EXPECT_NE(r.status, 0);
  r = cli({"--yes", "secure", "off"}, "battery staple\nbattery staple\n");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(dir.read("fhr.db").starts_with(kDbMagic));
  EXPECT_EQ(cli({"db", "cat", "notes"}).out, "private words");
}

}  // namespace
}  // namespace fhr
