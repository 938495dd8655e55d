#include "ui/header_filter.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/text_helpers.h"

namespace fhr {
namespace {

constexpr std::array<const char*, 3> kEndMarkers = {
    "*** END PGP DECRYPTED/VERIFIED MESSAGE ***",
    "*** END PGP DECRYPTED MESSAGE ***",
    "*** END PGP VERIFIED MESSAGE ***",
};

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsContinuation(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

bool IsVerificationLine(const std::string& line) { return line.compare(0, 3, "***") == 0; }

// Walks the header that starts at `p`, keeping the lines whose whole name
// (":name:") occurs in `keep` with their continuations and deleting the
// others with theirs. Ends at a blank line, a line without a colon or the end.
void HeaderPass(std::size_t& p, StringList& lines, const std::string& keep) {
  while (p < lines.size()) {
    const std::string& line = lines[p];
    const std::size_t colon = line.find(':');
    if (IsBlankLine(line) || colon == std::string::npos) return;
    const std::string name = ":" + Lower(line.substr(0, colon + 1));
    if (keep.find(name) != std::string::npos) {
      ++p;
      while (p < lines.size() && IsContinuation(lines[p])) ++p;
      continue;
    }
    lines.Delete(p);
    if (p < lines.size() && IsBlankLine(lines[p])) return;
    while (p < lines.size() && IsContinuation(lines[p])) lines.Delete(p);
  }
}

// Moves the run of verification lines at `p` out of `lines`.
StringList TakeVerificationLines(std::size_t p, StringList& lines) {
  StringList taken;
  while (p < lines.size() && IsVerificationLine(lines[p])) {
    taken.Add(lines[p]);
    lines.Delete(p);
  }
  return taken;
}

}  // namespace

bool NeedsDecryption(const StringList& lines) {
  return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line == "-----BEGIN PGP MESSAGE-----" || line == "-----BEGIN PGP SIGNED MESSAGE-----";
  });
}

void KeepVerificationLines(std::size_t& position, StringList& lines, const StringList& collected) {
  for (std::size_t i = 0; i + 1 < collected.size(); ++i) {
    const std::string lower = Lower(collected[i]);
    const bool signature = lower.find("signature") != std::string::npos && lower.find("binary") == std::string::npos;
    if (signature || lower.find("verified") != std::string::npos) {
      position = std::min(position, lines.size());
      lines.Insert(position, collected[i]);
      ++position;
    }
  }
}

void FilterHeaders(StringList& lines) {
  std::size_t p = 0;
  HeaderPass(p, lines, kArticleKeepList);
  if (NeedsDecryption(lines)) return;
  ++p;
  StringList collected = TakeVerificationLines(p, lines);
  KeepVerificationLines(p, lines, collected);
  ++p;
  HeaderPass(p, lines, kLetterKeepList);
  ++p;
  collected = TakeVerificationLines(p, lines);
  if (!collected.empty()) KeepVerificationLines(p, lines, collected);
  for (const char* marker : kEndMarkers) {
    for (int i = lines.IndexOf(marker); i >= 0; i = lines.IndexOf(marker)) lines.Delete(static_cast<std::size_t>(i));
  }
}

}  // namespace fhr
