// Byte-exact conversations between the news session and a scripted peer:
// what the client sends, in which order, and what it logs.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "news/nntp_session.h"
#include "support/recording_events.h"
#include "support/scripted_peer.h"

namespace fhr {
namespace {

using test::ScriptedPeer;

const std::string kGreeting = "200 news.test ready\r\n";

// Greeting, MODE READER and CAPABILITIES with the given capability lines.
void Opening(ScriptedPeer& peer, const std::string& capabilities = "VERSION 2\r\nREADER\r\nHDR\r\n") {
  peer.Say(kGreeting)
      .Expect("MODE READER\r\n")
      .Say("200 news.test ready\r\n")
      .Expect("CAPABILITIES\r\n")
      .Say("101 Capability list:\r\n" + capabilities + ".\r\n");
}

NewsServer Server(int port, const std::string& tls = "none") {
  NewsServer server;
  server.host = "127.0.0.1";
  server.port = port;
  server.user = "reader";
  server.password = "s3cret";
  server.implicit_tls = false;
  server.tls_none = tls == "none";
  return server;
}

NntpSessionOptions Options() {
  NntpSessionOptions options;
  options.timeout = std::chrono::seconds(10);
  return options;
}

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

TEST(NntpSessionScriptedTest, LogsInOnDemandAndPipelinesArticles) {
  ScriptedPeer peer;
  Opening(peer);
  peer.Expect("GROUP alt.anonymous.messages\r\n")
      .Say("480 Authentication required\r\n")
      .Expect("AUTHINFO USER reader\r\n")
      .Say("381 Enter password\r\n")
      .Expect("AUTHINFO PASS s3cret\r\n")
      .Say("281 Authentication succeeded\r\n")
      .Expect("GROUP alt.anonymous.messages\r\n")
      .Say("211 3 5 7 alt.anonymous.messages\r\n")
      .Expect("HDR subject 5-\r\n")
      .Say("225 Headers follow\r\n5 aaa\r\n6 ..dotted\r\n7 ccc\r\n..\r\n.\r\n")
      // All three requests go out before any reply is read.
      .Expect("ARTICLE 5\r\nARTICLE 6\r\nARTICLE 7\r\n")
      .Say("220 5 <a@x> article\r\nSubject: aaa\r\n\r\nsecret body five\r\n..stuffed\r\n.\r\n"
           "423 No such article\r\n"
           "220 7 <c@x> article\r\nSubject: ccc\r\n\r\nsecret body seven\r\n.\r\n")
      .Expect("QUIT\r\n")
      .Say("205 Bye\r\n");
  peer.Start();

  test::RecordingEvents events;
  TNNTPMod2 session(Server(peer.port()), {}, Options(), &events);
  ASSERT_TRUE(session.Connect());
  EXPECT_TRUE(session.offers_hdr());
  GroupInfo group;
  ASSERT_TRUE(session.SelectGroup("alt.anonymous.messages", &group));
  EXPECT_EQ(group.low, 5);
  EXPECT_EQ(group.high, 7);

  std::vector<std::string> listing;
  ASSERT_TRUE(session.ListSubjects(5, [&](const std::string& line) { listing.push_back(line); }).ok());
  // Only a leading dot is stuffing.
  EXPECT_EQ(listing, (std::vector<std::string>{"5 aaa", "6 ..dotted", "7 ccc", "."}));

  for (std::int64_t n = 5; n <= 7; ++n) ASSERT_TRUE(session.RequestArticle(n).ok());
  EXPECT_EQ(session.articles_pending(), 3u);
  NntpArticle article;
  ASSERT_TRUE(session.ReadArticle(&article).ok());
  EXPECT_EQ(article.number, 5);
  EXPECT_EQ(article.lines, StringList({"Subject: aaa", "", "secret body five", ".stuffed"}));
  NntpResult missing = session.ReadArticle(&article);
  EXPECT_EQ(missing.kind, NntpErrorKind::kReply);
  EXPECT_EQ(missing.code, 423);
  EXPECT_EQ(article.number, 6);
  ASSERT_TRUE(session.ReadArticle(&article).ok());
  EXPECT_EQ(article.number, 7);
  EXPECT_EQ(article.lines.size(), 3u);
  session.Disconnect();
  EXPECT_EQ(peer.Finish(), "");

  const std::string log = session.pass_log().Text();
  EXPECT_TRUE(Contains(log, "Connecting to 127.0.0.1"));
  EXPECT_TRUE(Contains(log, "200 news.test ready"));
  EXPECT_TRUE(Contains(log, "381 Enter password"));
  EXPECT_TRUE(Contains(log, "Newsgroup: alt.anonymous.messages 5 7"));
  EXPECT_TRUE(Contains(log, "220 5 <a@x> article"));
  EXPECT_TRUE(Contains(log, "205 Bye"));
  // Nothing sent and no data line received reaches the log.
  for (const char* hidden : {"s3cret", "AUTHINFO", "reader", "secret body", "Subject:", "aaa", "dotted", "VERSION"}) {
    EXPECT_FALSE(Contains(log, hidden)) << hidden;
  }
  EXPECT_TRUE(events.errors().empty());
  EXPECT_FALSE(session.error_flag());
}

TEST(NntpSessionScriptedTest, AWrongPasswordIsAnErrorNotALoop) {
  ScriptedPeer peer;
  Opening(peer);
  peer.Expect("GROUP alt.anonymous.messages\r\n")
      .Say("480 Authentication required\r\n")
      .Expect("AUTHINFO USER reader\r\n")
      .Say("381 Enter password\r\n")
      .Expect("AUTHINFO PASS s3cret\r\n")
      .Say("481 Authentication failed\r\n")
      .Expect("QUIT\r\n")
      .Say("205 Bye\r\n");
  peer.Start();

  test::RecordingEvents events;
  TNNTPMod2 session(Server(peer.port()), {}, Options(), &events);
  ASSERT_TRUE(session.Connect());
  GroupInfo group;
  EXPECT_FALSE(session.SelectGroup("alt.anonymous.messages", &group));
  session.Disconnect();
  EXPECT_EQ(peer.Finish(), "");
  auto lines = events.log_lines();
  EXPECT_EQ(lines.back(), "SelectNewsgroup alt.anonymous.messages ReplyError: 481 Authentication failed");
  ASSERT_EQ(events.errors().size(), 1u);
  EXPECT_TRUE(Contains(events.errors()[0], "481 Authentication failed"));
  EXPECT_TRUE(session.error_flag());
}

TEST(NntpSessionScriptedTest, RefusedStartTlsGoesOnInPlainTextOnlyWithoutTls) {
  for (const std::string tls : {"none", "SSL"}) {
    ScriptedPeer peer;
    Opening(peer, "VERSION 2\r\nSTARTTLS\r\n");
    peer.Expect("STARTTLS\r\n").Say("580 Error initializing TLS\r\n");
    if (tls == "none") {
      peer.Expect("QUIT\r\n").Say("205 Bye\r\n");
    }
    peer.Start();
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peer.port(), tls), {}, Options(), &events);
    bool connected = session.Connect();
    session.Disconnect();
    EXPECT_EQ(peer.Finish(), "") << tls;
    auto lines = events.log_lines();
    if (tls == "none") {
      EXPECT_TRUE(connected);
      EXPECT_EQ(lines.back(), "STARTTLS refused (580 Error initializing TLS); going on without TLS");
    } else {
      EXPECT_FALSE(connected);
      EXPECT_EQ(lines.back(), "Connection failed! ReplyError: 580 Error initializing TLS");
    }
  }
}

TEST(NntpSessionScriptedTest, GreetingsThatRefuse) {
  {
    ScriptedPeer peer;
    peer.Say("502 You have no permission to talk.  Goodbye!\r\n");
    peer.Start();
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peer.port()), {}, Options(), &events);
    EXPECT_FALSE(session.Connect());
    EXPECT_EQ(peer.Finish(), "");
    EXPECT_EQ(events.log_lines().back(), "Connection refused! \nTry again later.");
    EXPECT_EQ(events.errors().size(), 1u);
  }
  {
    ScriptedPeer peer;
    peer.Say("400 Service temporarily unavailable\r\n");
    peer.Start();
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peer.port()), {}, Options(), &events);
    EXPECT_FALSE(session.Connect());
    EXPECT_EQ(peer.Finish(), "");
    EXPECT_EQ(events.log_lines().back(), "Connection failed! ReplyError: 400 Service temporarily unavailable");
    EXPECT_TRUE(events.errors().empty());
  }
  {
    ScriptedPeer peer;
    peer.Say("garbage\r\n");
    peer.Start();
    test::RecordingEvents events;
    TNNTPMod2 session(Server(peer.port()), {}, Options(), &events);
    EXPECT_FALSE(session.Connect());
    EXPECT_EQ(peer.Finish(), "");
    EXPECT_EQ(events.log_lines().back(), "Connection failed! Error: The server sent no valid reply: \"garbage\"");
  }
}

TEST(NntpSessionScriptedTest, ServerWithoutExtensionsGetsXhdr) {
  ScriptedPeer peer;
  peer.Say(kGreeting)
      .Expect("MODE READER\r\n")
      .Say("500 What?\r\n")
      .Expect("CAPABILITIES\r\n")
      .Say("500 What?\r\n")
      .Expect("LIST EXTENSIONS\r\n")
      .Say("500 What?\r\n")
      .Expect("XHDR subject 10-\r\n")
      .Say("423 No articles in 10-\r\n")
      .Expect("QUIT\r\n")
      .Say("205 Bye\r\n");
  peer.Start();
  test::RecordingEvents events;
  TNNTPMod2 session(Server(peer.port()), {}, Options(), &events);
  ASSERT_TRUE(session.Connect());
  EXPECT_FALSE(session.offers_hdr());
  int lines = 0;
  EXPECT_TRUE(session.ListSubjects(10, [&](const std::string&) { ++lines; }).ok());
  EXPECT_EQ(lines, 0);
  session.Disconnect();
  EXPECT_EQ(peer.Finish(), "");
}

TEST(NntpSessionScriptedTest, OversizedArticleIsSkippedAndTheNextStaysInStep) {
  ScriptedPeer peer;
  Opening(peer);
  std::string huge = "220 1 <big@x> article\r\n";
  for (int i = 0; i < 200; ++i) huge += "line " + std::string(50, 'x') + "\r\n";
  huge += std::string(5000, 'y') + "\r\n.\r\n";
  peer.Expect("ARTICLE 1\r\nARTICLE 2\r\nARTICLE 3\r\n")
      .Say(huge + "220 2 <two@x> article\r\nSubject: two\r\n\r\nbody\r\n.\r\n" +
           "220 4 <four@x> article\r\nSubject: four\r\n.\r\n");
  peer.Start();
  NntpSessionOptions options = Options();
  options.max_article = 4096;
  options.max_line = 1024;
  test::RecordingEvents events;
  TNNTPMod2 session(Server(peer.port()), {}, options, &events);
  ASSERT_TRUE(session.Connect());
  for (int n = 1; n <= 3; ++n) ASSERT_TRUE(session.RequestArticle(n).ok());
  NntpArticle article;
  NntpResult big = session.ReadArticle(&article);
  EXPECT_EQ(big.kind, NntpErrorKind::kTooLarge);
  EXPECT_EQ(events.log_lines().back(),
            "Article 1 skipped: larger than 4096 bytes or with a line longer than 1024 bytes");
  ASSERT_TRUE(session.ReadArticle(&article).ok());
  EXPECT_EQ(article.number, 2);
  EXPECT_EQ(article.lines, StringList({"Subject: two", "", "body"}));
  // An answer for another article means the stream is out of step: end.
  NntpResult wrong = session.ReadArticle(&article);
  EXPECT_EQ(wrong.kind, NntpErrorKind::kProtocol);
  EXPECT_EQ(wrong.message, "The server sent article 4 when article 3 was asked for");
  EXPECT_FALSE(session.connected());
  EXPECT_EQ(peer.Finish(), "");
}

TEST(NntpSessionScriptedTest, LineBreaksInArgumentsAreNeverSent) {
  ScriptedPeer peer;
  Opening(peer);
  peer.Expect("QUIT\r\n").Say("205 Bye\r\n");
  peer.Start();
  test::RecordingEvents events;
  TNNTPMod2 session(Server(peer.port()), {}, Options(), &events);
  ASSERT_TRUE(session.Connect());
  GroupInfo group;
  EXPECT_FALSE(session.SelectGroup("alt.test\r\nPOST", &group));
  session.Disconnect();
  EXPECT_EQ(peer.Finish(), "");
  EXPECT_TRUE(Contains(events.log_lines().back(), "holds a line break"));
}

TEST(NntpSessionScriptedTest, Socks5SendsTheNameToTheProxy) {
  ScriptedPeer peer;
  const std::string name = "news.only-the-proxy-knows.invalid";
  peer.Expect(std::string("\x05\x01\x02", 3))
      .Say(std::string("\x05\x02", 2))
      .Expect(std::string("\x01\x05" "proxy" "\x06" "pa55wd", 14))
      .Say(std::string("\x01\x00", 2))
      .Expect(std::string("\x05\x01\x00\x03", 4) + static_cast<char>(name.size()) + name + std::string("\x00\x77", 2))
      .Say(std::string("\x05\x00\x00\x01\x7f\x00\x00\x01\x30\x39", 10));
  Opening(peer);
  peer.Expect("QUIT\r\n").Say("205 Bye\r\n");
  peer.Start();

  SocksSettings proxy{SocksVersion::k5, "127.0.0.1", peer.port(), true, "proxy", "pa55wd", false};
  NewsServer server = Server(119);
  server.host = name;
  test::RecordingEvents events;
  TNNTPMod2 session(server, proxy, Options(), &events);
  ASSERT_TRUE(session.Connect()) << session.pass_log().Text();
  session.Disconnect();
  EXPECT_EQ(peer.Finish(), "");
  EXPECT_FALSE(Contains(session.pass_log().Text(), "pa55wd"));
}

TEST(NntpSessionScriptedTest, Socks4aSendsTheNameAndWordsATorRefusal) {
  const std::string name = "news.only-the-proxy-knows.invalid";
  const std::string request = std::string("\x04\x01\x02\x33\x00\x00\x00\x01", 8) + '\0' + name + '\0';
  {
    ScriptedPeer peer;
    peer.Expect(request).Say(std::string("\x00\x5a\x00\x00\x00\x00\x00\x00", 8));
    Opening(peer);
    peer.Expect("QUIT\r\n").Say("205 Bye\r\n");
    peer.Start();
    SocksSettings proxy{SocksVersion::k4a, "127.0.0.1", peer.port(), false, "", "", true};
    NewsServer server = Server(563);
    server.host = name;
    test::RecordingEvents events;
    TNNTPMod2 session(server, proxy, Options(), &events);
    ASSERT_TRUE(session.Connect());
    session.Disconnect();
    EXPECT_EQ(peer.Finish(), "");
  }
  {
    ScriptedPeer peer;
    peer.Expect(std::string("\x04\x01\x02\x33\x7f\x00\x00\x01", 8) + '\0')
        .Say(std::string("\x00\x5b\x00\x00\x00\x00\x00\x00", 8));
    peer.Start();
    SocksSettings proxy{SocksVersion::k4a, "127.0.0.1", peer.port(), false, "", "", true};
    test::RecordingEvents events;
    TNNTPMod2 session(Server(563), proxy, Options(), &events);
    EXPECT_FALSE(session.Connect());
    EXPECT_EQ(peer.Finish(), "");
    EXPECT_EQ(events.log_lines().back(),
              "Connection failed! IdError: SOCKS 4A proxy 127.0.0.1:" + std::to_string(peer.port()) +
                  " refused the connection to 127.0.0.1:563: request rejected or failed (91) "
                  "(Tor does not connect to local or private addresses)");
  }
}

TEST(NntpSessionScriptedTest, CancelInterruptsABlockedReadAtOnce) {
  ScriptedPeer peer;
  peer.Say(kGreeting).Expect("MODE READER\r\n").Hold();
  peer.Start();
  test::RecordingEvents events;
  NntpSessionOptions options = Options();
  options.timeout = std::chrono::seconds(60);
  TNNTPMod2 session(Server(peer.port()), {}, options, &events);
  std::thread canceler([&session] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    session.Cancel();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(session.Connect());
  auto took = std::chrono::steady_clock::now() - start;
  canceler.join();
  EXPECT_LT(took, std::chrono::seconds(2));
  EXPECT_TRUE(session.canceled());
  EXPECT_EQ(peer.Finish(), "");
  // After a cancel, failures are silent.
  EXPECT_EQ(events.log_lines().back(), "User canceled operation!");
  EXPECT_TRUE(events.errors().empty());
  EXPECT_FALSE(session.timed_out());
}

TEST(NntpSessionScriptedTest, ASilentServerTimesOut) {
  ScriptedPeer peer;
  peer.Say(kGreeting).Expect("MODE READER\r\n").Hold();
  peer.Start();
  test::RecordingEvents events;
  NntpSessionOptions options = Options();
  options.timeout = std::chrono::milliseconds(300);
  TNNTPMod2 session(Server(peer.port()), {}, options, &events);
  EXPECT_FALSE(session.Connect());
  EXPECT_TRUE(session.timed_out());
  EXPECT_EQ(peer.Finish(), "");
  EXPECT_EQ(events.log_lines().back(), "Connection failed! IdError: Read timed out");
}

}  // namespace
}  // namespace fhr
