// The news session against the private INN server and the SOCKS servers
// started by tests/support/peers.sh, all on 127.0.0.1.
#include <gtest/gtest.h>

#include <string>

#include "news/nntp_session.h"
#include "support/peer_ports.h"
#include "support/recording_events.h"

namespace fhr {
namespace {

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

NewsServer Server(int port, const std::string& tls = "none", const std::string& host = "127.0.0.1") {
  NewsServer server;
  server.host = host;
  server.port = port;
  server.implicit_tls = tls == "TLS";
  server.tls_none = tls == "none";
  return server;
}

NewsServer WithLogin(NewsServer server, const test::PeerPorts& peers, const std::string& password = "") {
  server.user = peers.value("NEWS_USER");
  server.password = password.empty() ? peers.value("NEWS_PASS") : password;
  return server;
}

NntpSessionOptions Options() {
  NntpSessionOptions options;
  options.timeout = std::chrono::seconds(20);
  return options;
}

// Connects and selects the test group; the pass log on failure.
std::string ConnectAndSelect(TNNTPMod2& session, const std::string& group, GroupInfo* info) {
  if (!session.Connect()) return "connect failed:\n" + session.pass_log().Text();
  if (!session.SelectGroup(group, info)) return "group failed:\n" + session.pass_log().Text();
  return "";
}

TEST(NntpInnTest, StartTlsListsSubjectsAndFetchesPipelinedArticles) {
  FHR_REQUIRE_PEERS(peers);
  ASSERT_TRUE(test::InjectNoise(30));
  test::RecordingEvents events;
  TNNTPMod2 session(Server(peers.port("NNTP_ANON_PORT")), {}, Options(), &events);
  GroupInfo group;
  ASSERT_EQ(ConnectAndSelect(session, peers.value("NEWS_GROUP"), &group), "");
  EXPECT_TRUE(session.tls_active()) << "STARTTLS is offered and taken";
  EXPECT_TRUE(session.offers_hdr());
  ASSERT_GE(group.high - group.low + 1, 30);

  const std::int64_t first = group.high - 29;
  int listed = 0;
  ASSERT_TRUE(session
                  .ListSubjects(first,
                                [&](const std::string& line) {
                                  auto header = ParseHeaderLine(line);
                                  ASSERT_TRUE(header) << line;
                                  EXPECT_EQ(header->value.size(), 48u) << line;
                                  ++listed;
                                })
                  .ok());
  EXPECT_EQ(listed, 30);
  // Past the end: an empty listing, not an error.
  ASSERT_TRUE(session.ListSubjects(group.high + 1, [&](const std::string&) { ++listed; }).ok());
  EXPECT_EQ(listed, 30);

  // A window of ten requests in flight, replies taken strictly in order.
  std::int64_t next_request = first;
  std::int64_t expected = first;
  NntpArticle article;
  while (expected <= group.high + 1) {
    while (next_request <= group.high + 1 && session.articles_pending() < 10) {
      ASSERT_TRUE(session.RequestArticle(next_request++).ok());
    }
    NntpResult result = session.ReadArticle(&article);
    EXPECT_EQ(article.number, expected);
    if (expected == group.high + 1) {
      EXPECT_EQ(result.code, 423);
    } else {
      ASSERT_TRUE(result.ok()) << result.message;
      EXPECT_GE(article.lines.IndexOf(""), 1);
      EXPECT_EQ(article.lines[article.lines.size() - 1].rfind("noise ", 0), 0u);
    }
    ++expected;
  }
  session.Disconnect();
  const std::string log = session.pass_log().Text();
  EXPECT_TRUE(Contains(log, "TLS started (TLSv1."));
  EXPECT_TRUE(Contains(log, " article"));
  EXPECT_FALSE(Contains(log, "noise ")) << "article text never reaches the log";
  EXPECT_FALSE(Contains(log, "Subject")) << log;
  EXPECT_TRUE(events.errors().empty());
}

TEST(NntpInnTest, LoginOverStartTlsAndImplicitTls) {
  FHR_REQUIRE_PEERS(peers);
  struct Row {
    const char* port;
    const char* tls;
  };
  for (const Row& row : {Row{"NNTP_PORT", "SSL"}, Row{"NNTP_PORT", "none"}, Row{"NNTPS_PORT", "TLS"}}) {
    test::RecordingEvents events;
    TNNTPMod2 session(WithLogin(Server(peers.port(row.port), row.tls), peers), {}, Options(), &events);
    GroupInfo group;
    EXPECT_EQ(ConnectAndSelect(session, peers.value("NEWS_GROUP"), &group), "") << row.port;
    EXPECT_TRUE(session.tls_active()) << row.port;
    session.Disconnect();
    const std::string log = session.pass_log().Text();
    EXPECT_TRUE(Contains(log, "281 ")) << log;
    EXPECT_FALSE(Contains(log, peers.value("NEWS_PASS")));
  }
}

TEST(NntpInnTest, ACipherListThatSelectsNothingIsATlsError) {
  FHR_REQUIRE_PEERS(peers);
  NntpSessionOptions options = Options();
  options.cipher_list = "NO-SUCH-CIPHER";
  test::RecordingEvents events;
  TNNTPMod2 session(WithLogin(Server(peers.port("NNTPS_PORT"), "TLS"), peers), {}, options, &events);
  EXPECT_FALSE(session.Connect());
  EXPECT_EQ(events.log_lines().back().rfind("Connection failed! IdError: TLS cipher list \"NO-SUCH-CIPHER\"", 0), 0u)
      << events.log_lines().back();
}

TEST(NntpInnTest, WrongPasswordIsReportedOnce) {
  FHR_REQUIRE_PEERS(peers);
  test::RecordingEvents events;
  TNNTPMod2 session(WithLogin(Server(peers.port("NNTP_PORT"), "SSL"), peers, "not-the-password"), {}, Options(),
                    &events);
  ASSERT_TRUE(session.Connect());
  GroupInfo group;
  EXPECT_FALSE(session.SelectGroup(peers.value("NEWS_GROUP"), &group));
  session.Disconnect();
  EXPECT_EQ(events.log_lines().back().rfind("SelectNewsgroup alt.anonymous.messages ReplyError: 481 ", 0), 0u)
      << events.log_lines().back();
  EXPECT_EQ(events.errors().size(), 1u);
  // No login was attempted a second time.
  const std::string log = session.pass_log().Text();
  EXPECT_EQ(log.find("381 "), log.rfind("381 "));
}

TEST(NntpInnTest, RefusedStartTls) {
  FHR_REQUIRE_PEERS(peers);
  {
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peers.port("NNTP_NOCERT_PORT"), "none"), {}, Options(), &events);
    GroupInfo group;
    EXPECT_EQ(ConnectAndSelect(session, peers.value("NEWS_GROUP"), &group), "");
    EXPECT_FALSE(session.tls_active());
    EXPECT_TRUE(Contains(session.pass_log().Text(), "STARTTLS refused (580 "));
    session.Disconnect();
  }
  {
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peers.port("NNTP_NOCERT_PORT"), "SSL"), {}, Options(), &events);
    EXPECT_FALSE(session.Connect());
    EXPECT_EQ(events.log_lines().back().rfind("Connection failed! ReplyError: 580 ", 0), 0u);
  }
}

TEST(NntpInnTest, RefusalsAndUnknownGroup) {
  FHR_REQUIRE_PEERS(peers);
  {
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peers.port("NNTP_DENY_PORT")), {}, Options(), &events);
    EXPECT_FALSE(session.Connect());
    EXPECT_EQ(events.log_lines().back(), "Connection refused! \nTry again later.");
    EXPECT_EQ(events.errors().size(), 1u);
  }
  for (bool get_pass : {false, true}) {
    test::RecordingEvents events;
    NntpSessionOptions options = Options();
    options.refused_connection_is_error = get_pass;
    TNNTPMod2 session(Server(peers.port("REFUSED_PORT")), {}, options, &events);
    EXPECT_FALSE(session.Connect());
    EXPECT_EQ(events.log_lines().back(), "Connection failed! IdError: Connection refused");
    EXPECT_EQ(events.errors().size(), get_pass ? 1u : 0u);
    EXPECT_EQ(session.error_flag(), get_pass);
  }
  {
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peers.port("NNTP_ANON_PORT")), {}, Options(), &events);
    ASSERT_TRUE(session.Connect());
    GroupInfo group;
    EXPECT_FALSE(session.SelectGroup("no.such.group", &group));
    EXPECT_EQ(events.log_lines().back(), "SelectNewsgroup no.such.group ReplyError: 411 No such group no.such.group");
    EXPECT_EQ(events.errors().size(), 1u);
    // The session is still usable after a reply error.
    EXPECT_TRUE(session.SelectGroup(peers.value("NEWS_EMPTY_GROUP"), &group));
    EXPECT_EQ(group.count, 0);
    EXPECT_EQ(group.high, group.low - 1);
    session.Disconnect();
  }
}

TEST(NntpInnTest, ThroughSocksProxies) {
  FHR_REQUIRE_PEERS(peers);
  struct Row {
    const char* what;
    const char* port;
    SocksVersion version;
    const char* news_host;  // a name goes to the proxy with 4A and 5
    bool auth;
    const char* user;
    const char* password;
  };
  const std::string socks_user = peers.value("SOCKS_USER"), socks_pass = peers.value("SOCKS_PASS");
  const std::string micro_user = peers.value("MICRO_USER"), micro_pass = peers.value("MICRO_PASS");
  const Row rows[] = {
      {"dante 4", "DANTE_PORT", SocksVersion::k4, "127.0.0.1", false, "", ""},
      {"dante 4, name resolved here", "DANTE_PORT", SocksVersion::k4, "localhost", false, "", ""},
      {"dante 5", "DANTE_PORT", SocksVersion::k5, "127.0.0.1", false, "", ""},
      {"dante 5 user/password", "DANTE_AUTH_PORT", SocksVersion::k5, "127.0.0.1", true, socks_user.c_str(),
       socks_pass.c_str()},
      {"microsocks 5", "MICROSOCKS_PORT", SocksVersion::k5, "127.0.0.1", false, "", ""},
      {"microsocks 5 user/password", "MICROSOCKS_AUTH_PORT", SocksVersion::k5, "127.0.0.1", true,
       micro_user.c_str(), micro_pass.c_str()},
      {"ssh 4A by name", "SSH_SOCKS_PORT", SocksVersion::k4a, "localhost", false, "", ""},
      {"ssh 5 by name", "SSH_SOCKS_PORT", SocksVersion::k5, "localhost", false, "", ""},
      {"ssh 4", "SSH_SOCKS_PORT", SocksVersion::k4, "127.0.0.1", false, "", ""},
  };
  for (const Row& row : rows) {
    SocksSettings proxy{row.version, "127.0.0.1", peers.port(row.port), row.auth, row.user, row.password, false};
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peers.port("NNTP_ANON_PORT"), "none", row.news_host), proxy, Options(), &events);
    GroupInfo group;
    EXPECT_EQ(ConnectAndSelect(session, peers.value("NEWS_GROUP"), &group), "") << row.what;
    EXPECT_TRUE(session.tls_active()) << row.what;
    session.Disconnect();
    EXPECT_TRUE(Contains(session.pass_log().Text(), " through " + SocksVersionName(row.version) + " proxy"))
        << row.what;
    if (row.auth) {
      EXPECT_FALSE(Contains(session.pass_log().Text(), row.password));
    }
  }
}

TEST(NntpInnTest, SocksRefusals) {
  FHR_REQUIRE_PEERS(peers);
  struct Row {
    const char* what;
    SocksSettings proxy;
    const char* news_host;
    const char* expected;
  };
  const Row rows[] = {
      {"wrong SOCKS password",
       {SocksVersion::k5, "127.0.0.1", peers.port("DANTE_AUTH_PORT"), true, peers.value("SOCKS_USER"), "wrong", false},
       "127.0.0.1", "refused the connection to 127.0.0.1:"},
      {"proxy wants a login",
       {SocksVersion::k5, "127.0.0.1", peers.port("MICROSOCKS_AUTH_PORT"), false, "", "", false},
       "127.0.0.1", "it requires authentication"},
      {"Tor refuses a loopback address",
       {SocksVersion::k4a, "127.0.0.1", peers.port("TOR_SOCKS_PORT"), false, "", "", true},
       "127.0.0.1", "(Tor does not connect to local or private addresses)"},
      {"Tor refuses localhost by name",
       {SocksVersion::k4a, "127.0.0.1", peers.port("TOR_SOCKS_PORT"), false, "", "", true},
       "localhost", "SOCKS 4A proxy 127.0.0.1:"},
      {"no proxy listening",
       {SocksVersion::k5, "127.0.0.1", peers.port("REFUSED_PORT"), false, "", "", false},
       "127.0.0.1", "Cannot reach the SOCKS 5 proxy 127.0.0.1:"},
  };
  for (const Row& row : rows) {
    test::RecordingEvents events;
    auto start = std::chrono::steady_clock::now();
    TNNTPMod2 session(Server(peers.port("NNTP_ANON_PORT"), "none", row.news_host), row.proxy, Options(), &events);
    EXPECT_FALSE(session.Connect()) << row.what;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << row.what;
    ASSERT_FALSE(events.log_lines().empty());
    const std::string last = events.log_lines().back();
    EXPECT_EQ(last.rfind("Connection failed! IdError: ", 0), 0u) << row.what << ": " << last;
    EXPECT_TRUE(Contains(last, row.expected)) << row.what << ": " << last;
  }
}

}  // namespace
}  // namespace fhr
