// The user's whole road on the command line: a nym message posted to the
// loopback news server among noise, fetched by `fhr-cli get`, then made
// readable by `fhr-cli decrypt`.
#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/decrypt_fixtures.h"
#include "support/news_traffic.h"
#include "support/peer_ports.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

TEST(GetThenDecrypt, AFetchedNymMessageDecryptsWithItsSubjectLine) {
  FHR_REQUIRE_PEERS(peers);
  const test::DecryptFixtures& fx = test::SharedDecryptFixtures();
  ASSERT_TRUE(fx.ok) << fx.log;
  test::TempDir data;
  data.write("gpg.conf", fx.Lines("home/gpg.conf").Text());
  auto cli = [&](std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--data-dir", data.path(), "--yes"});
    return test::RunCli(args, input);
  };

  // An HSUB line for alice whose Encrypt-Key passwords open the two layers.
  auto added = cli({"subject", "add", "--hsub", "--ekey", "--keyid", fx.alice}, "road secret\nkp one,kp two\n");
  ASSERT_EQ(added.status, 0) << added.err;
  ASSERT_EQ(cli({"account", "add", "inn", "--host", "127.0.0.1", "--port",
                 std::to_string(peers.port("NNTP_ANON_PORT"))})
                .status,
            0);
  ASSERT_EQ(cli({"account", "use", "inn"}).status, 0);
  const std::string group = test::CreateTestGroup("road");
  ASSERT_FALSE(group.empty());
  ASSERT_EQ(cli({"settings", "set", "newsgroup", group}).status, 0);

  test::NewsTraffic traffic(group);
  traffic.AddNoise(200);
  ASSERT_FALSE(traffic.AddNymMessage(test::TagForm::kHsub, "road secret", "", fx.Lines("twolayers.txt")).empty());
  traffic.AddNoise(200);
  ASSERT_TRUE(traffic.Post());

  auto get = cli({"get", "--count", "100000"});
  ASSERT_EQ(get.status, 0) << get.out << get.err;
  EXPECT_NE(get.out.find("1 new message stored"), std::string::npos) << get.out;

  auto listed = cli({"ls"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const std::string stamp = listed.out.substr(0, 15);
  ASSERT_EQ(listed.out.find('\n'), listed.out.size() - 1) << "exactly one message: " << listed.out;

  auto decrypted = cli({"decrypt", stamp}, "alice pass\n");
  ASSERT_EQ(decrypted.status, 0) << decrypted.err;
  EXPECT_NE(decrypted.out.find("Good signature from \"nymserver2 <config@nym.example>\""), std::string::npos)
      << decrypted.out;
  EXPECT_NE(decrypted.out.find("Secret body for alice.\n"), std::string::npos) << decrypted.out;
  EXPECT_EQ(decrypted.err.find("Warning"), std::string::npos) << decrypted.err;
}

}  // namespace
}  // namespace fhr
