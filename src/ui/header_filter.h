#pragma once
// The "fewer headers" view of a message: the article's header thinned to
// From and Date, and after decryption the verification report reduced to its
// meaningful lines and the letter's own header to a handful of fields. It
// always works on a copy; stored and cached lines are never filtered.
#include <cstddef>

#include "core/stringlist.h"

namespace fhr {

// The article header lines the filter keeps, and those of a decrypted letter.
inline constexpr const char* kArticleKeepList = ":from:date:";
inline constexpr const char* kLetterKeepList = ":comment:from:to:cc:subject:date:";

// True when some line is exactly "-----BEGIN PGP MESSAGE-----" or exactly
// "-----BEGIN PGP SIGNED MESSAGE-----": the message still needs decrypting.
bool NeedsDecryption(const StringList& lines);

// Thins `lines` in place to what the message pane shows with the switch on:
// the article's header keeps From and Date; when the message has been
// decrypted, the verification lines after it keep the signature and
// verification lines, the letter's header keeps the kept fields, a second
// block of verification lines is reduced the same way, and the END markers of
// the decryption banners go. Positions past the end end each step, so any
// list of lines is safe.
void FilterHeaders(StringList& lines);

// Re-inserts at `position` (advanced past each insertion) the collected
// verification lines worth keeping: those that mention "signature" but not
// "binary", or mention "verified" (letter case ignored). The last collected
// line is the decryption banner and is never re-inserted.
void KeepVerificationLines(std::size_t& position, StringList& lines, const StringList& collected);

}  // namespace fhr
