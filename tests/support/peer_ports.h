#pragma once
// The loopback peers started by tests/support/peers.sh: the ports they
// listen on (read from build/peers/ports.env) and a way to post articles.
#include <map>
#include <optional>
#include <string>

namespace fhr::test {

class PeerPorts {
 public:
  // The values of ports.env, or nothing when the peers are not running.
  static std::optional<PeerPorts> Load();
  // A port by its name in ports.env ("NNTP_PORT"); 0 when missing.
  int port(const std::string& name) const;
  // Any other value ("NEWS_USER").
  std::string value(const std::string& name) const;

 private:
  std::map<std::string, std::string> values_;
};

// Why the peers are missing, for the skip or failure message.
std::string PeersMissingMessage();
// Whether a missing peer set fails the test instead of skipping it
// (scripts/test sets FHR_REQUIRE_PEERS=1).
bool PeersRequired();

// Posts `count` noise articles (random hex subjects) into the test group;
// true when the injection helper ran cleanly.
bool InjectNoise(int count);

}  // namespace fhr::test

// Loads the peers into `var`, or skips the test (fails it when the peers
// are required).
#define FHR_REQUIRE_PEERS(var)                                                   \
  auto var##_loaded = ::fhr::test::PeerPorts::Load();                            \
  if (!var##_loaded) {                                                           \
    if (::fhr::test::PeersRequired()) FAIL() << ::fhr::test::PeersMissingMessage(); \
    GTEST_SKIP() << ::fhr::test::PeersMissingMessage();                          \
  }                                                                              \
  const ::fhr::test::PeerPorts& var = *var##_loaded
