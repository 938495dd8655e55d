#include <gtest/gtest.h>

#include <string>

#include "core/settings.h"
#include "news/news_account.h"
#include "news/nntp_session.h"
#include "news/pass_log.h"
#include "news/proxy_record.h"
#include "support/temp_dir.h"

namespace fhr {
namespace {

StringList Record(std::initializer_list<std::string> lines) { return StringList(lines); }

TEST(NewsAccountTest, ConnectionDetailsFromTheRecord) {
  struct Row {
    const char* tls;
    const char* port;
    bool implicit;
    bool none;
    int expected_port;
  };
  const Row rows[] = {
      {"TLS", "563", true, false, 563},  {"tls", "563", true, false, 563},  {"Tls", "", true, false, 119},
      {"SSL", "119", false, false, 119}, {"none", "abc", false, true, 119}, {"", "0", false, true, 119},
      {"ssl3", "70000", false, false, 119},
  };
  for (const Row& row : rows) {
    StringList account = Record({"key=a", "host=news.example", "userid=u", "password=p"});
    account.SetValue("tls", row.tls);
    account.SetValue("port", row.port);
    NewsServer server = NewsServerFromAccount(account);
    EXPECT_EQ(server.implicit_tls, row.implicit) << row.tls;
    EXPECT_EQ(server.tls_none, row.none) << row.tls;
    EXPECT_EQ(server.port, row.expected_port) << row.port;
    EXPECT_EQ(server.host, "news.example");
    EXPECT_EQ(server.user, "u");
    EXPECT_EQ(server.password, "p");
  }
}

TEST(NewsAccountTest, CompletingAndStoringANewAccount) {
  StringList account = NewAccountRecord();
  account.SetValue("host", "news.example");
  account.SetValue("port", "");
  CompleteAccountRecord(account);
  EXPECT_EQ(account.Value("key"), "news.example");
  EXPECT_EQ(account.Value("port"), "119");
  EXPECT_EQ(account.Value("tls"), "none");
  EXPECT_EQ(account.IndexOfName("lastarticle"), -1);
  account.SetValue("auth", "0");
  EXPECT_EQ(AccountRecordCommaText(account), "key=news.example,host=news.example,port=119,auth=0,tls=none");
}

TEST(NewsAccountTest, ChecksInTheirOrder) {
  const std::vector<std::string> others = {"Work", "home"};
  struct Row {
    std::initializer_list<std::string> lines;
    AccountProblem problem;
  };
  const Row rows[] = {
      {{"key=x", "host=::1", "auth=1"}, AccountProblem::kColonInHost},
      {{"key=x", "host=", "auth=1"}, AccountProblem::kNoServer},
      {{"key=x", "host=h", "auth=1", "userid=u"}, AccountProblem::kAuthWithoutCredentials},
      {{"key=x", "host=h", "auth=1", "password=p"}, AccountProblem::kAuthWithoutCredentials},
      {{"key=WORK", "host=h"}, AccountProblem::kNameInUse},
      {{"key=x", "host=h", "auth=0"}, AccountProblem::kNone},
      {{"key=x", "host=h", "auth=1", "userid=u", "password=p"}, AccountProblem::kNone},
  };
  for (const Row& row : rows) {
    AccountCheck check = CheckAccountRecord(StringList(row.lines), others);
    EXPECT_EQ(check.problem, row.problem) << StringList(row.lines).CommaText();
    EXPECT_EQ(check.message.empty(), row.problem == AccountProblem::kNone);
  }
  EXPECT_EQ(CheckAccountRecord(Record({"key=WORK", "host=h"}), others).message,
            "Sorry, the name 'WORK' value already exists!   \nIt must be unique!   ");

  EXPECT_TRUE(PortSuggestsImplicitTls(Record({"port=563", "tls=SSL"})));
  EXPECT_TRUE(PortSuggestsImplicitTls(Record({"port=563"})));
  EXPECT_FALSE(PortSuggestsImplicitTls(Record({"port=563", "tls=TLS"})));
  EXPECT_FALSE(PortSuggestsImplicitTls(Record({"port=119", "tls=SSL"})));
}

TEST(ProxyRecordTest, ActiveProxyLookup) {
  // Exactly "none" never looks anything up, even when such a record exists.
  auto none = SocksFromProxies("none", Record({"none=proxy=none,host=10.9.9.9,port=1080,socks=5"}));
  ASSERT_TRUE(none);
  EXPECT_EQ(none->version, SocksVersion::kNone);

  StringList proxies = Record({
      "tor=proxy=tor,host=127.0.0.1,port=9050,socks=4A,tor=1",
      "None=proxy=None,host=127.0.0.2,port=abc,socks=5,auth=1,userid=u,password=p",
      "six=proxy=six,host=127.0.0.3,port=1080,socks=6,auth=0,userid=u,password=p",
      "empty=",
  });
  auto tor = SocksFromProxies("TOR", proxies);
  ASSERT_TRUE(tor);
  EXPECT_EQ(tor->version, SocksVersion::k4a);
  EXPECT_EQ(tor->host, "127.0.0.1");
  EXPECT_EQ(tor->port, 9050);
  EXPECT_TRUE(tor->tor);
  EXPECT_FALSE(tor->auth);

  // "None" is a name like any other; its port is not a number.
  auto capital = SocksFromProxies("None", proxies);
  ASSERT_TRUE(capital);
  EXPECT_EQ(capital->version, SocksVersion::k5);
  EXPECT_EQ(capital->host, "127.0.0.2");
  EXPECT_EQ(capital->port, 119);
  EXPECT_TRUE(capital->auth);
  EXPECT_EQ(capital->user, "u");
  EXPECT_EQ(capital->password, "p");

  auto six = SocksFromProxies("six", proxies);
  ASSERT_TRUE(six);
  EXPECT_EQ(six->version, SocksVersion::kNone);
  EXPECT_TRUE(six->user.empty()) << "user and password only with auth=1";

  EXPECT_FALSE(SocksFromProxies("missing", proxies));
  EXPECT_FALSE(SocksFromProxies("empty", proxies));
}

TEST(ProxyRecordTest, NamesAndChecks) {
  EXPECT_EQ(NextProxyName({}), "proxy1");
  EXPECT_EQ(NextProxyName({"proxy1", "Proxy2"}), "proxy3");
  EXPECT_EQ(NextProxyName({"proxy2"}), "proxy1");

  StringList good = Record({"proxy=p", "host=127.0.0.1", "port=9050", "socks=4a", "tor=1", "auth=0"});
  EXPECT_EQ(CheckProxyRecord(good, {"other"}).problem, ProxyProblem::kNone);
  EXPECT_EQ(ProxyRecordCommaText(good), "proxy=p,host=127.0.0.1,port=9050,socks=4a,tor=1,auth=0");

  struct Row {
    const char* field;
    const char* value;
    ProxyProblem problem;
  };
  const Row rows[] = {
      {"host", "", ProxyProblem::kNoHost},
      {"port", "", ProxyProblem::kNoPort},
      {"socks", "no", ProxyProblem::kNoSocks},
      {"socks", "", ProxyProblem::kNoSocks},
      {"auth", "1", ProxyProblem::kAuthWithoutCredentials},
  };
  for (const Row& row : rows) {
    StringList proxy = good;
    proxy.SetValue(row.field, row.value);
    EXPECT_EQ(CheckProxyRecord(proxy, {}).problem, row.problem) << row.field << "=" << row.value;
  }
  // A new proxy may not take an existing name either: saving would replace it.
  EXPECT_EQ(CheckProxyRecord(good, {"P"}).problem, ProxyProblem::kNameInUse);
  EXPECT_EQ(CheckProxyRecord(good, {"P"}).message, "The name you've chosen for this proxy, p,  \nalready exists!");

  EXPECT_TRUE(LooksLikeTor(Record({"host=127.0.0.1", "port=9050", "socks=4"})));
  EXPECT_FALSE(LooksLikeTor(Record({"host=127.0.0.1", "port=9050", "tor=1"})));
  EXPECT_TRUE(TorWithoutSocks4a(Record({"tor=1", "socks=5"})));
  EXPECT_FALSE(TorWithoutSocks4a(Record({"tor=1", "socks=4A"})));
}

TEST(NewsAccountTest, SessionOptionsFromSettings) {
  test::TempDir dir;
  Settings settings(dir.file("fhr.ini"));
  NntpSessionOptions defaults = SessionOptionsFromSettings(settings);
  EXPECT_EQ(defaults.timeout, std::chrono::seconds(30));
  EXPECT_EQ(defaults.cipher_list, "ALL:!ADH:RC4+RSA:+SSLv2:@STRENGTH");
  ASSERT_TRUE(settings.SetInt("nntptimeout", 45));
  ASSERT_TRUE(settings.Write("sslciphersuites", "nntp", "HIGH:!aNULL"));
  NntpSessionOptions set = SessionOptionsFromSettings(settings);
  EXPECT_EQ(set.timeout, std::chrono::seconds(45));
  EXPECT_EQ(set.cipher_list, "HIGH:!aNULL");
}

TEST(PassLogTest, MergeKeepsTheNewestLines) {
  StringList stored;
  for (int i = 0; i < 995; ++i) stored.Add("old " + std::to_string(i));
  StringList pass;
  for (int i = 0; i < 20; ++i) pass.Add("new " + std::to_string(i));
  StringList merged = MergePassLog(stored, pass, 1000);
  ASSERT_EQ(merged.size(), 1000u);  // 16 of the 1016 lines dropped
  EXPECT_EQ(merged[0], "old 16");
  EXPECT_EQ(merged[978], "old 994");
  EXPECT_EQ(merged[979], "");
  EXPECT_EQ(merged[999], "new 19");

  EXPECT_EQ(MergePassLog({}, Record({"a"}), 10), Record({"", "a"}));
  EXPECT_TRUE(MergePassLog(stored, pass, 0).empty());
}

TEST(PassLogTest, ProgressTexts) {
  struct Row {
    std::int64_t total, processed;
    int matches;
    int percent;
    const char* text;
  };
  const Row rows[] = {
      {2, 0, 0, 0, ""},          {2, 1, 0, 50, "1 of 2"},   {2, 2, 0, 100, "2 of 2"},
      {3, 1, 2, 33, "1 of 3  (2)"}, {0, 0, 1, 0, "  (1)"},   {0, 5, 0, 5, ""},
      {9000000000000000000, 8999999999999999999, 0, 99, "8999999999999999999 of 9000000000000000000"},
  };
  for (const Row& row : rows) {
    Progress progress = MakeProgress(row.total, row.processed, row.matches);
    EXPECT_EQ(progress.percent, row.percent) << row.total << " " << row.processed;
    EXPECT_EQ(progress.text, row.text);
  }
}

TEST(PassLogTest, TimeoutsAreRecordedOnlyWhenAskedFor) {
  test::TempDir dir;
  Settings settings(dir.file("fhr.ini"));
  const std::time_t when = 1767225600;  // some fixed moment
  ASSERT_TRUE(RecordTimeout(settings, dir.path(), when));
  EXPECT_EQ(dir.read("timeouts.txt"), "");

  ASSERT_TRUE(settings.SetFlag("savetimeouts", true));
  dir.write("timeouts.txt", "earlier");
  ASSERT_TRUE(RecordTimeout(settings, dir.path(), when));
  ASSERT_TRUE(RecordTimeout(settings, dir.path(), when + 61));
  std::tm local{};
  localtime_r(&when, &local);
  char first[32];
  std::strftime(first, sizeof first, "%Y-%m-%d %H:%M:%S", &local);
  std::string text = dir.read("timeouts.txt");
  EXPECT_EQ(text.substr(0, 9 + std::string(first).size()), "earlier\r\n" + std::string(first));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
}

}  // namespace
}  // namespace fhr
