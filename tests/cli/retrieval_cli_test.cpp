// fhr-cli account, proxy, get, check and catchup over a real database in a
// temporary data directory; get end to end against the private INN server.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "news/list_key.h"
#include "news/msgmans.h"
#include "storage/fhrdb.h"
#include "support/cli_runner.h"
#include "support/gpg_fixtures.h"
#include "support/news_traffic.h"
#include "support/peer_ports.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

class CliRetrieval : public ::testing::Test {
 protected:
  test::CliResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"--data-dir", dir_.path()});
    return test::RunCli(args, input);
  }
  StringList Record(const char* which, const std::string& name) {
    auto db = OpenMailDatabase(dir_.file("fhr.db"));
    StringList list, record;
    if (!db) return record;
    if (std::string(which) == "hosts") db->ReadHosts(list); else db->ReadProxies(list);
    const int i = list.IndexOfName(name);
    if (i >= 0) record.SetCommaText(list.ValueFromIndex(static_cast<std::size_t>(i)));
    return record;
  }
  test::TempDir dir_;
};

TEST_F(CliRetrieval, AccountsAreCheckedStoredAndChosen) {
  auto added = Cli({"account", "add", "news", "--host", "news.example", "--user", "me", "--auth"}, "secret pw\n");
  ASSERT_EQ(added.status, 0) << added.err;
  StringList record = Record("hosts", "news");
  EXPECT_EQ(record.Value("key"), "news");
  EXPECT_EQ(record.Value("port"), "119");
  EXPECT_EQ(record.Value("tls"), "none");
  EXPECT_EQ(record.Value("password"), "secret pw");
  EXPECT_TRUE(record.Value("lastarticle").empty());

  struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string err;
  };
  const Case refused[] = {
      {{"account", "add", "NEWS", "--host", "x"}, "", 1, "Sorry, the name 'NEWS' value already exists!"},
      {{"account", "add", "v6", "--host", "::1"}, "", 1, "Sorry, colons ':' not allowed"},
      {{"account", "add", "a", "--host", "x", "--auth"}, "pw\n", 1, "You have NNTP Authentication enabled"},
      {{"account", "set", "news", "--lastarticle", "12x"}, "", 2, "--lastarticle needs an article number"},
      {{"account", "set", "nobody", "--port", "1"}, "", 1, "there is no news account nobody"},
      {{"account", "use", "nobody"}, "", 1, "there is no news account nobody"},
  };
  for (const Case& c : refused) {
    auto result = Cli(c.args, c.input);
    EXPECT_EQ(result.status, c.status) << c.args[1] << " " << c.args[2];
    EXPECT_TRUE(Contains(result.err, c.err)) << result.err;
  }

  // Port 563 with STARTTLS: the question, answered yes, switches to TLS.
  ASSERT_EQ(Cli({"--yes", "account", "set", "news", "--port", "563", "--lastarticle", "77"}).status, 0);
  record = Record("hosts", "news");
  EXPECT_EQ(record.Value("tls"), "TLS");
  EXPECT_EQ(record.Value("lastarticle"), "77");
  EXPECT_EQ(record.Value("password"), "secret pw") << "kept when not asked to change";

  ASSERT_EQ(Cli({"account", "use", "NEWS"}).status, 0);
  auto listed = Cli({"account", "ls"});
  EXPECT_TRUE(Contains(listed.out, "* news news.example 563 tls=TLS auth=1 user=me lastarticle=77")) << listed.out;
  EXPECT_FALSE(Contains(listed.out, "secret pw"));
  // Renaming the active account keeps it active; removing it leaves none.
  ASSERT_EQ(Cli({"account", "set", "news", "--name", "renamed"}).status, 0);
  EXPECT_EQ(Cli({"settings", "get", "account"}).out, "renamed\n");
  ASSERT_EQ(Cli({"account", "rm", "renamed"}).status, 0);
  EXPECT_EQ(Cli({"settings", "get", "account"}).out, "none\n");
}

TEST_F(CliRetrieval, ProxiesAreCheckedStoredAndChosen) {
  auto first = Cli({"proxy", "add", "--host", "127.0.0.1", "--port", "1080", "--socks", "5"});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, "proxy1\n");
  // Tor's usual port: the question, answered yes, marks it Tor with SOCKS 4A.
  ASSERT_EQ(Cli({"--yes", "proxy", "add", "tor", "--host", "127.0.0.1", "--port", "9050", "--socks", "4"}).status, 0);
  StringList tor = Record("proxies", "tor");
  EXPECT_EQ(tor.Value("tor"), "1");
  EXPECT_EQ(tor.Value("socks"), "4a");
  // Marked Tor with SOCKS 5, the correction refused: stored as asked.
  ASSERT_EQ(Cli({"--no", "proxy", "add", "t5", "--host", "h", "--port", "1", "--socks", "5", "--tor"}).status, 0);
  EXPECT_EQ(Record("proxies", "t5").Value("socks"), "5");

  EXPECT_TRUE(Contains(Cli({"proxy", "add", "x", "--host", "h", "--port", "1", "--socks", "no"}).err,
                       "NNTP requires Socks Level of 4a!"));
  EXPECT_EQ(Cli({"proxy", "add", "x", "--host", "h", "--port", "1", "--socks", "6"}).status, 2);
  EXPECT_TRUE(Contains(Cli({"proxy", "add", "PROXY1", "--host", "h", "--port", "1", "--socks", "5"}).err,
                       "already exists"));
  auto authed = Cli({"proxy", "add", "a", "--host", "h", "--port", "1", "--socks", "5", "--auth", "--user", "u"}, "pw\n");
  ASSERT_EQ(authed.status, 0) << authed.err;
  EXPECT_EQ(Record("proxies", "a").Value("password"), "pw");

  ASSERT_EQ(Cli({"proxy", "use", "tor"}).status, 0);
  EXPECT_TRUE(Contains(Cli({"proxy", "ls"}).out, "* tor 127.0.0.1 9050 socks=4a tor"));
  ASSERT_EQ(Cli({"proxy", "rm", "tor"}).status, 0);
  EXPECT_EQ(Cli({"settings", "get", "nntpproxy"}).out, "none\n");
}

TEST_F(CliRetrieval, PassesRefuseWhatTheyCannotDo) {
  EXPECT_TRUE(Contains(Cli({"get"}).err, "You don't have a NEWS account selected!"));
  ASSERT_EQ(Cli({"account", "add", "news", "--host", "127.0.0.1"}).status, 0);
  EXPECT_TRUE(Contains(Cli({"check", "--account", "news"}).err, "--count N")) << "no terminal, no --count";
  EXPECT_TRUE(Contains(Cli({"get", "--account", "news"}).err, "PGP Keyrings"));
  // With keyrings but no active subject line a get would skip every article.
  dir_.write("gpg.conf", "secret-keyring /k/secring.skr\nkeyring /k/pubring.pkr\n");
  EXPECT_TRUE(Contains(Cli({"get", "--account", "news", "--count", "5"}).err, "DIZ subject lines"));
  EXPECT_TRUE(Contains(Cli({"catchup", "--account", "nobody"}).err, "there is no news account nobody"));
}

TEST_F(CliRetrieval, GetStoresExactlyTheTaggedArticlesAmongThousands) {
  FHR_REQUIRE_PEERS(peers);
  const test::GpgFixtures& gpg = test::SharedGpgFixtures();
  ASSERT_TRUE(gpg.ok) << gpg.log;
  ASSERT_EQ(Cli({"keyrings", "--secret", gpg.dir + "/keys/secring.skr", "--public", gpg.dir + "/keys/pubring.pkr"})
                .status,
            0);
  auto esub = Cli({"subject", "add", "--esub", "--keyid", gpg.alice}, "cli nym\ncli pass\n");
  auto hsub = Cli({"subject", "add", "--hsub", "--keyid", gpg.bob}, "cli secret\n");
  ASSERT_EQ(esub.status, 0) << esub.err;
  ASSERT_EQ(hsub.status, 0) << hsub.err;
  const std::string esub_no = esub.out.substr(0, esub.out.find('\n'));
  const std::string hsub_no = hsub.out.substr(0, hsub.out.find('\n'));
  ASSERT_EQ(Cli({"account", "add", "inn", "--host", "127.0.0.1", "--port", std::to_string(peers.port("NNTP_ANON_PORT"))})
                .status,
            0);
  ASSERT_EQ(Cli({"account", "use", "inn"}).status, 0);
  const std::string group = test::CreateTestGroup("cliget");
  ASSERT_FALSE(group.empty());
  ASSERT_EQ(Cli({"settings", "set", "newsgroup", group}).status, 0);

  // Thousands of noise articles, the tagged ones spread among them.
  test::NewsTraffic traffic(group);
  const StringList body = gpg.Lines("article.txt");
  std::map<std::string, std::string> expected;  // Message-ID -> subno
  const struct {
    test::TagForm form;
    const char* subject;
    const char* pass;
    const std::string& subno;
  } tags[] = {{test::TagForm::kEsubBlowfish, "cli nym", "cli pass", esub_no},
              {test::TagForm::kHsub, "cli secret", "", hsub_no},
              {test::TagForm::kEsubIdea, "cli nym", "cli pass", esub_no},
              {test::TagForm::kHsub, "cli secret", "", hsub_no},
              {test::TagForm::kEsubBlowfish, "cli nym", "cli pass", esub_no}};
  for (const auto& tag : tags) {
    traffic.AddNoise(600);
    const std::string id = traffic.AddNymMessage(tag.form, tag.subject, tag.pass, body);
    ASSERT_FALSE(id.empty());
    expected[id] = tag.subno;
  }
  traffic.AddNoise(300);
  ASSERT_TRUE(traffic.Post());

  auto get = Cli({"get", "--count", "100000"});
  ASSERT_EQ(get.status, 0) << get.out << get.err;
  EXPECT_TRUE(Contains(get.out, "5 new messages stored, last article 3305")) << get.out;
  EXPECT_TRUE(Contains(get.out, "Starting message: 1")) << "the log is printed as it comes";

  {
    auto db = OpenMailDatabase(dir_.file("fhr.db"));
    ASSERT_TRUE(db);
    StringList keys;
    ASSERT_TRUE(db->ListInbox(keys));
    ASSERT_EQ(keys.size(), 5u);
    std::map<std::string, std::string> stored;
    for (const std::string& key : keys) {
      StringList lines;
      ASSERT_TRUE(db->ReadMessage(key, lines));
      TMsgManager message(lines);
      stored[message.GetHeader("Message-ID:")] = message.GetHeader("Subject-No:");
      const ListKeyFields fields = ParseListKey(key);
      EXPECT_EQ(fields.subno, message.GetHeader("Subject-No:"));
      EXPECT_TRUE(fields.nym.rfind(fields.subno == esub_no ? "alice" : "bob", 0) == 0) << fields.nym;
    }
    EXPECT_EQ(stored, expected);
    StringList account, log;
    ASSERT_TRUE(db->GetHost("inn", account));
    EXPECT_EQ(account.Value("lastarticle"), "3305");
    ASSERT_TRUE(db->ReadLog(log));
    EXPECT_NE(log.IndexOf("Ending message: 3305"), -1);
  }

  auto again = Cli({"get"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(Contains(again.out, "0 new messages stored, last article 3305")) << again.out;
  auto check = Cli({"check"});
  EXPECT_TRUE(Contains(check.out, "0 waiting messages")) << check.out;
  {
    auto db = OpenMailDatabase(dir_.file("fhr.db"));
    StringList keys;
    ASSERT_TRUE(db && db->ListInbox(keys));
    EXPECT_EQ(keys.size(), 5u);
  }

  // The active proxy carries the pass; one that has vanished ends it with
  // the error box, and the command still returns.
  ASSERT_EQ(Cli({"proxy", "add", "dante", "--host", "127.0.0.1", "--port", std::to_string(peers.port("DANTE_PORT")),
                 "--socks", "5"})
                .status,
            0);
  ASSERT_EQ(Cli({"proxy", "use", "dante"}).status, 0);
  auto proxied = Cli({"check"});
  EXPECT_EQ(proxied.status, 0) << proxied.out << proxied.err;
  EXPECT_TRUE(Contains(proxied.out, "Proxy: dante")) << proxied.out;
  EXPECT_TRUE(Contains(proxied.out, "0 waiting messages")) << proxied.out;
  ASSERT_EQ(Cli({"settings", "set", "nntpproxy", "gone"}).status, 0);
  auto missing = Cli({"get"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(Contains(missing.err, "The proxy, gone, doesn't exist!")) << missing.err;
}

}  // namespace
}  // namespace fhr
