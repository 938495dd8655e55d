// Arbitrary subjects against arbitrary subject lines: nothing crashes, and
// the pass matcher gives exactly the answer of the per-call tests (Blowfish
// form, the library's IDEA form, HSUB) for every input. Candidates are often
// real tags of the first line, built from input bytes and then edited, so
// matches are reached as well as misses.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "news/hsub.h"
#include "news/subject_library.h"
#include "news/subject_line.h"
#include "news/subject_matcher.h"
#include "news/tag_codec.h"

namespace {

std::string ProgramDir() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string dir(path, n > 0 ? static_cast<size_t>(n) : 0);
  return dir.substr(0, dir.rfind('/') + 1);
}

// An ESUB of either form with the given first block: Blowfish encrypts the
// digest with the first block as feedback; IDEA encrypts random bytes
// chosen so that its first cipher block is the given one.
std::string MakeEsub(int algorithm, const std::array<unsigned char, 8>& first, const std::string& subject,
                     const std::string& passphrase) {
  const fhr::Md5Digest key = fhr::Md5(passphrase);
  const fhr::Md5Digest digest = fhr::Md5(subject);
  fhr::CipherHandle ecb = fhr::CipherHandle::Open(algorithm, GCRY_CIPHER_MODE_ECB, key.data(), key.size());
  if (!ecb) return "";
  std::array<unsigned char, 24> tag;
  std::copy(first.begin(), first.end(), tag.begin());
  for (size_t block = 0; block < 2; ++block) {
    std::array<unsigned char, 8> stream;
    gcry_cipher_encrypt(ecb.get(), stream.data(), 8, tag.data() + 8 * block, 8);
    for (size_t i = 0; i < 8; ++i) tag[8 * (block + 1) + i] = digest[8 * block + i] ^ stream[i];
  }
  return fhr::HexLower(tag.data(), tag.size());
}

std::string MakeHsub(const std::array<unsigned char, 8>& iv, const std::string& secret) {
  const std::string ivBytes(iv.begin(), iv.end());
  return fhr::HexLower(iv.data(), iv.size()) + fhr::Sha256Hex(ivBytes + secret).substr(0, 32);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!fhr::LoadSubjectLibrary(ProgramDir())) {
    std::fprintf(stderr, "libhidtag32.so must lie beside the fuzz target\n");
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<std::string> lines;
  fhr::SubjectLine first;
  const int count = input.ConsumeIntegralInRange(1, 3);
  for (int i = 0; i < count; ++i) {
    if (i > 0 && input.ConsumeBool()) {
      lines.push_back(input.ConsumeRandomLengthString(96));  // any record text at all
      continue;
    }
    fhr::SubjectLine line;
    line.subno = std::to_string(2000 + i);
    line.active = input.ConsumeBool();
    line.esub = input.ConsumeBool();
    line.subject = input.ConsumeRandomLengthString(32);
    line.ephrase = input.ConsumeRandomLengthString(32);
    lines.push_back(fhr::SubjectLineText(line));
    if (i == 0) first = line;
  }

  std::array<unsigned char, 8> block{};
  for (unsigned char& b : block) b = input.ConsumeIntegral<unsigned char>();
  std::string candidate;
  switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: candidate = MakeEsub(GCRY_CIPHER_BLOWFISH, block, first.subject, first.ephrase); break;
    case 1: candidate = MakeEsub(GCRY_CIPHER_IDEA, block, first.subject, first.ephrase); break;
    case 2: candidate = MakeHsub(block, first.subject); break;
    default: break;
  }
  // Edits: a few bytes replaced, then the rest of the input appended.
  const int edits = input.ConsumeIntegralInRange(0, 2);
  for (int i = 0; i < edits && !candidate.empty(); ++i) {
    const size_t at = input.ConsumeIntegralInRange<size_t>(0, candidate.size() - 1);
    candidate[at] = static_cast<char>(input.ConsumeIntegral<unsigned char>());
  }
  candidate += input.ConsumeRemainingBytesAsString();

  const std::optional<std::string> expected = fhr::MatchSubject(candidate, lines);
  fhr::SubjectMatcher matcher(lines);
  fhr::StringList article{"Subject: x", "", "body"};
  const bool inserted = matcher.MatchArticle(article, candidate);
  if (inserted != expected.has_value() || (inserted && article[0] != "Subject-No: " + *expected)) {
    std::fprintf(stderr, "pass matcher and per-call tests disagree on a %zu-byte subject\n", candidate.size());
    std::abort();
  }
  return 0;
}
