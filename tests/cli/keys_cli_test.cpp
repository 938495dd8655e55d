// fhr-cli keys and keyrings over a data directory whose gpg.conf names the
// fixture keyrings.
#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/gpg_fixtures.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

class KeysCli : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fx_.ok) << fx_.log; }
  test::CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", data_.path()});
    return test::RunCli(args);
  }
  const test::GpgFixtures& fx_ = test::SharedGpgFixtures();
  test::TempDir data_;
};

TEST_F(KeysCli, KeysListsTheSecretKeysByShortIdAndUserId) {
  data_.write("gpg.conf", fx_.Lines("home/gpg.conf").Text());
  const auto r = Cli({"keys"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string known = fx_.alice + " alice <alice@nym.example>\n" + fx_.bob + " bob <bob@nym.example>\n" +
                            fx_.carol + " carol <carol@nym.example>\n" + fx_.nymserver +
                            " nymserver <config@nymserver.example>\n";
  EXPECT_TRUE(r.out.starts_with(known)) << r.out;
  EXPECT_EQ(r.out.size(), known.size() + std::string("0x12345678 resend <resend@nym.example>\n").size()) << r.out;
  EXPECT_TRUE(r.out.ends_with(" resend <resend@nym.example>\n")) << r.out;
}

TEST_F(KeysCli, KeyringsShownAndSet) {
  EXPECT_EQ(Cli({"keyrings"}).out, "secret keyring: \npublic keyring: \n");

  data_.write("k/sec.skr", "");
  data_.write("k/pub.pkr", "");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;
  } refused[] = {
      {{"keyrings", "--secret", data_.file("k/sec.skr")}, 1, "no public keyring is set yet"},
      {{"keyrings", "--secret", data_.file("k/none.skr"), "--public", data_.file("k/pub.pkr")}, 1,
       "does not exist"},
      {{"keyrings", "--secret"}, 2, "usage: fhr-cli keyrings"},
      {{"keyrings", "extra"}, 2, "usage: fhr-cli keyrings"},
  };
  for (const Case& c : refused) {
    const auto r = Cli(c.args);
    EXPECT_EQ(r.status, c.status) << c.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_EQ(data_.read("gpg.conf"), "");

  auto r = Cli({"keyrings", "--secret=" + data_.file("k/sec.skr"), "--public", data_.file("k/pub.pkr")});
  EXPECT_EQ(r.status, 0) << r.err;
  data_.write("k/other.pkr", "");
  r = Cli({"keyrings", "--public", data_.file("k/other.pkr")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Cli({"keyrings"}).out,
            "secret keyring: " + data_.file("k/sec.skr") + "\npublic keyring: " + data_.file("k/other.pkr") + "\n");
  EXPECT_NE(data_.read("gpg.conf").find("no-default-keyring\nload-extension "), std::string::npos);
}

}  // namespace
}  // namespace fhr
