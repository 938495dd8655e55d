#pragma once
// Matching subjects against the user's subject lines. A line matches a
// subject when it is active and the subject is one of its tags: for an ESUB
// line a Blowfish-form or an IDEA-form ESUB of its subject and passphrase,
// for an HSUB line an HSUB of its secret. The first matching line, in the
// order given, wins. An empty subject matches nothing.
#include <optional>
#include <string>
#include <vector>

#include "core/stringlist.h"
#include "news/tag_codec.h"

namespace fhr {

// Matching for a whole retrieval pass: everything that depends only on a
// subject line (the digests of its subject and passphrase, its Blowfish and
// IDEA key schedules) is derived once, when the matcher is made, so each
// test costs a few cipher blocks or one SHA-256. The IDEA form is tested
// here with the library's own rules (texts end at a zero byte), so results
// are those of MatchSubject below, test for test. Key schedules are wiped
// when the matcher goes away. One thread at a time.
class SubjectMatcher {
 public:
  // `lineTexts`: the comma texts of the subject lines in stored order;
  // inactive lines are left out here.
  explicit SubjectMatcher(const std::vector<std::string>& lineTexts);
  ~SubjectMatcher();
  SubjectMatcher(SubjectMatcher&&) noexcept;
  SubjectMatcher& operator=(SubjectMatcher&&) noexcept;

  // The subno of the first line that `subject` matches.
  std::optional<std::string> Match(const std::string& subject);
  // True when any line matches `subject` (the check pass).
  bool MatchSubject(const std::string& subject) { return Match(subject).has_value(); }
  // When `subjectHeader` (the article's "Subject:" header value) matches,
  // inserts "Subject-No: " and the line's subno as line 0 of the article
  // and returns true; otherwise leaves the article unchanged.
  bool MatchArticle(StringList& article, const std::string& subjectHeader);

  // How many active lines take part.
  std::size_t size() const;

 private:
  struct Line;
  std::vector<Line> lines_;
};

// The subno of the first active line that `subject` matches, every key
// derived afresh and the IDEA form tested through the loaded library
// (Blowfish form first, then the library, for an ESUB line). For single
// tests; a pass uses SubjectMatcher.
std::optional<std::string> MatchSubject(const std::string& subject, const std::vector<std::string>& lineTexts);

}  // namespace fhr
