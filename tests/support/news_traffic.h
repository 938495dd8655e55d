#pragma once
// alt.anonymous.messages traffic for the loopback news server: noise with
// random hex subjects, and nym messages tagged for given subject lines with
// an ESUB of either form or an HSUB, posted as one rnews batch. Each test may
// post into a group of its own, whose article numbers then start at 1.
#include <string>
#include <vector>

#include "core/stringlist.h"

namespace fhr::test {

// How a nym message is tagged.
enum class TagForm { kEsubBlowfish, kEsubIdea, kHsub };

class NewsTraffic {
 public:
  explicit NewsTraffic(std::string group) : group_(std::move(group)) {}

  // `count` noise articles with random 48-digit hex subjects.
  void AddNoise(int count);
  // A nym message whose subject is a fresh tag of the given form: for the
  // ESUB forms of `subject` under `passphrase`, for HSUB of the secret
  // `subject`. Returns its Message-ID, or "" when the tag could not be made
  // (the IDEA form needs libhidtag32.so from the program directory).
  std::string AddNymMessage(TagForm form, const std::string& subject, const std::string& passphrase,
                            const StringList& body);

  // Posts everything added, in order, through the news server's feed port.
  bool Post() const;
  std::size_t size() const { return articles_.size(); }

 private:
  void Add(const std::string& subject, const StringList& body);

  std::string group_;
  std::vector<std::string> articles_;
  std::string message_id_;
};

// Creates a group of the test's own on the loopback server and returns its
// name ("alt.test.<tag>.<pid>.<n>"), or "" when it could not be created.
std::string CreateTestGroup(const std::string& tag);

}  // namespace fhr::test
