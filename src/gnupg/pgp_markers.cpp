#include "gnupg/pgp_markers.h"

namespace fhr {

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The first begin marker and the first end marker are both present and the
// end lies more than `gap` lines after the begin.
bool EndFollows(const StringList& lines, std::string_view begin, std::string_view end, int gap) {
  const int first = FindMarker(lines, begin);
  const int last = FindMarker(lines, end);
  return first >= 0 && last >= 0 && last - first > gap;
}

}  // namespace

int FindMarker(const StringList& lines, std::string_view marker, std::size_t from) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (SameIgnoringCase(lines[i], marker)) return static_cast<int>(i);
  }
  return -1;
}

bool GPGIsPGPMessage(const StringList& lines) {
  return EndFollows(lines, BeginPGPMessage, EndPGPMessage, 5) ||
         EndFollows(lines, BeginPGPSignedMessage, EndPGPSignature, 5);
}

bool GPGIsClearSigned(const StringList& lines) { return EndFollows(lines, BeginPGPSignedMessage, EndPGPSignature, 0); }

bool GPGHasVerification(const StringList& lines) { return FindMarker(lines, PGPSignatureVerification) >= 0; }

}  // namespace fhr
