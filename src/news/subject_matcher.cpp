#include "news/subject_matcher.h"

#include <algorithm>
#include <array>

#include "core/text_helpers.h"
#include "news/esub.h"
#include "news/hsub.h"
#include "news/subject_library.h"
#include "news/subject_line.h"

namespace fhr {
namespace {

constexpr std::size_t kHsubIvChars = 2 * kTagRandomBytes;
constexpr std::size_t kHsubDigestBytes = 16;

// What the library sees of a text: the bytes before the first zero byte.
std::string_view AsCString(const std::string& text) { return std::string_view(text.c_str()); }

// Whether every character is a hexadecimal digit (lowercase only, when
// asked). It reads the whole text without branching on each character:
// tags are random text, and mispredicted branches would cost more than the
// ciphers.
bool AllHexDigits(std::string_view text, bool lowercaseOnly) {
  bool all = true;
  for (char c : text) all &= IsHexDigit(c) & !(lowercaseOnly & (static_cast<unsigned char>(c - 'A') <= 5));
  return all;
}

// One subject under test, decoded once for all lines.
struct Candidate {
  // The Blowfish form needs exactly 48 characters; the IDEA form, as the
  // library reads it, 48 characters before the first zero byte. When
  // either holds, `bytes` is the lenient decoding of the first 48.
  bool blowfishForm = false;
  bool ideaForm = false;
  std::array<unsigned char, kTagBytes> bytes{};
  // An HSUB needs 48 characters, the first 16 hexadecimal in either case
  // and the last 32 lowercase hexadecimal (nothing else can equal a digest
  // text); its IV and digest part are then these bytes.
  bool hsubForm = false;
  std::array<unsigned char, kTagRandomBytes> hsubIv{};
  std::array<unsigned char, kHsubDigestBytes> hsubDigest{};

  explicit Candidate(const std::string& subject) {
    blowfishForm = subject.size() == kTagChars;
    ideaForm = AsCString(subject).size() == kTagChars;
    if (blowfishForm || ideaForm) ReadHexLeniently(subject, bytes.data(), bytes.size());
    hsubForm = blowfishForm && AllHexDigits(std::string_view(subject).substr(0, kHsubIvChars), false) &&
               AllHexDigits(std::string_view(subject).substr(kHsubIvChars), true);
    if (hsubForm) {
      ReadHexLeniently(subject, hsubIv.data(), hsubIv.size());
      ReadHexLeniently(std::string_view(subject).substr(kHsubIvChars), hsubDigest.data(), hsubDigest.size());
    }
  }
};

}  // namespace

struct SubjectMatcher::Line {
  std::string subno;
  bool esub = false;
  // HSUB: the secret.
  std::string secret;
  // ESUB, Blowfish form: MD5 of the subject; key MD5 of the passphrase
  // (both ciphers in ECB mode: the matcher runs the feedback itself).
  Md5Digest subjectDigest{};
  CipherHandle blowfish;
  // ESUB, IDEA form: the same over the texts as the library sees them. A
  // text empty there never matches, as the library refuses it.
  Md5Digest ideaSubjectDigest{};
  CipherHandle idea;

  Line() = default;
  Line(Line&&) noexcept = default;
  Line& operator=(Line&&) noexcept = default;
  ~Line() {
    WipeText(secret);
    SecureWipe(subjectDigest.data(), subjectDigest.size());
    SecureWipe(ideaSubjectDigest.data(), ideaSubjectDigest.size());
  }

  bool Matches(const Candidate& c) const {
    if (!esub) return c.hsubForm && MatchesHashed(c);
    return (c.blowfishForm && MatchesBlowfish(c)) || (c.ideaForm && MatchesIdea(c));
  }

  bool MatchesBlowfish(const Candidate& c) const {
    return blowfish && DecryptEsubDigest(blowfish, c.bytes.data()) == subjectDigest;
  }

  bool MatchesIdea(const Candidate& c) const {
    return idea && DecryptEsubDigest(idea, c.bytes.data()) == ideaSubjectDigest;
  }

  bool MatchesHashed(const Candidate& c) const {
    std::array<unsigned char, 32> digest;
    gcry_buffer_t parts[2] = {};
    parts[0].size = parts[0].len = c.hsubIv.size();
    parts[0].data = const_cast<unsigned char*>(c.hsubIv.data());
    parts[1].size = parts[1].len = secret.size();
    parts[1].data = const_cast<char*>(secret.data());
    gcry_md_hash_buffers(GCRY_MD_SHA256, 0, digest.data(), parts, 2);
    return std::equal(c.hsubDigest.begin(), c.hsubDigest.end(), digest.begin());
  }
};

SubjectMatcher::SubjectMatcher(const std::vector<std::string>& lineTexts) {
  EnsureGcrypt();
  for (const std::string& text : lineTexts) {
    const SubjectLine record = ParseSubjectLine(text);
    if (!record.active) continue;
    Line line;
    line.subno = record.subno;
    line.esub = record.esub;
    if (!line.esub) {
      line.secret = record.subject;
    } else {
      Md5Digest key = Md5(record.ephrase);
      line.subjectDigest = Md5(record.subject);
      line.blowfish = CipherHandle::Open(GCRY_CIPHER_BLOWFISH, GCRY_CIPHER_MODE_ECB, key.data(), key.size());
      const std::string_view ideaSubject = AsCString(record.subject);
      const std::string_view ideaPassphrase = AsCString(record.ephrase);
      if (!ideaSubject.empty() && !ideaPassphrase.empty()) {
        key = Md5(ideaPassphrase);
        line.ideaSubjectDigest = Md5(ideaSubject);
        line.idea = CipherHandle::Open(GCRY_CIPHER_IDEA, GCRY_CIPHER_MODE_ECB, key.data(), key.size());
      }
      SecureWipe(key.data(), key.size());
    }
    lines_.push_back(std::move(line));
  }
}

SubjectMatcher::~SubjectMatcher() = default;
SubjectMatcher::SubjectMatcher(SubjectMatcher&&) noexcept = default;
SubjectMatcher& SubjectMatcher::operator=(SubjectMatcher&&) noexcept = default;

std::size_t SubjectMatcher::size() const { return lines_.size(); }

std::optional<std::string> SubjectMatcher::Match(const std::string& subject) {
  if (subject.empty()) return std::nullopt;
  const Candidate candidate(subject);
  if (!candidate.blowfishForm && !candidate.ideaForm) return std::nullopt;
  for (const Line& line : lines_) {
    if (line.Matches(candidate)) return line.subno;
  }
  return std::nullopt;
}

bool SubjectMatcher::MatchArticle(StringList& article, const std::string& subjectHeader) {
  const std::optional<std::string> subno = Match(subjectHeader);
  if (!subno) return false;
  article.Insert(0, "Subject-No: " + *subno);
  return true;
}

std::optional<std::string> MatchSubject(const std::string& subject, const std::vector<std::string>& lineTexts) {
  if (subject.empty()) return std::nullopt;
  for (const std::string& text : lineTexts) {
    const SubjectLine line = ParseSubjectLine(text);
    if (!line.active) continue;
    const bool match = line.esub ? TestEncryptedSubject(subject, line.subject, line.ephrase) ||
                                       LibraryTestSubject(subject, line.subject, line.ephrase)
                                 : TestHashedSubject(subject, line.subject);
    if (match) return line.subno;
  }
  return std::nullopt;
}

}  // namespace fhr
