#include "support/news_traffic.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "core/random_bytes.h"
#include "news/esub.h"
#include "news/hsub.h"
#include "news/subject_library.h"
#include "news/tag_codec.h"

namespace fhr::test {
namespace {

std::string PeersCommand(const std::string& arguments) {
  return "FHR_PEERS_DIR='" + std::string(FHR_BUILD_DIR) + "/peers' '" + std::string(FHR_SOURCE_DIR) +
         "/tests/support/peers.sh' " + arguments;
}

std::string RandomHex(std::size_t bytes) {
  std::string raw(bytes, '\0');
  FillRandomBytes(raw.data(), raw.size());
  return HexLower(reinterpret_cast<const unsigned char*>(raw.data()), raw.size());
}

}  // namespace

void NewsTraffic::Add(const std::string& subject, const StringList& body) {
  std::string article = "Path: test.invalid!not-for-mail\nFrom: Nobody <nobody@test.invalid>\nNewsgroups: " + group_ +
                        "\nSubject: " + subject + "\nMessage-ID: <" + RandomHex(12) +
                        "@test.invalid>\nDate: Thu, 01 Jan 2026 00:00:00 GMT\n\n";
  message_id_ = article.substr(article.find("Message-ID: ") + 12);
  message_id_ = message_id_.substr(0, message_id_.find('\n'));
  for (const std::string& line : body) article += line + "\n";
  articles_.push_back(std::move(article));
}

void NewsTraffic::AddNoise(int count) {
  for (int i = 0; i < count; ++i) Add(RandomHex(24), {"noise"});
}

std::string NewsTraffic::AddNymMessage(TagForm form, const std::string& subject, const std::string& passphrase,
                                       const StringList& body) {
  std::optional<std::string> tag;
  switch (form) {
    case TagForm::kEsubBlowfish: tag = MakeEncryptedSubject(subject, passphrase); break;
    case TagForm::kEsubIdea:
      if (LoadSubjectLibrary(std::string(FHR_BIN_DIR) + "/")) tag = LibraryMakeSubject(subject, passphrase);
      break;
    case TagForm::kHsub: tag = MakeHashedSubject(subject); break;
  }
  if (!tag) return "";
  Add(*tag, body);
  return message_id_;
}

bool NewsTraffic::Post() const {
  FILE* feed = popen((PeersCommand("inject -") + " >/dev/null").c_str(), "w");
  if (!feed) return false;
  for (const std::string& article : articles_) {
    std::fprintf(feed, "#! rnews %zu\n", article.size());
    std::fwrite(article.data(), 1, article.size(), feed);
  }
  return pclose(feed) == 0;
}

std::string CreateTestGroup(const std::string& tag) {
  static std::atomic<int> counter{0};
  const std::string name = "alt.test." + tag + "." + std::to_string(getpid()) + "." + std::to_string(++counter);
  return std::system((PeersCommand("newgroup " + name) + " >/dev/null").c_str()) == 0 ? name : "";
}

}  // namespace fhr::test
