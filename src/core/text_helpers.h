#pragma once
// Small text operations that nearly every part of the program uses: fields of
// single-character-separated texts, name=value lookups with defaults, blank
// line trimming, wiping secrets and the text of a system error. None keeps
// state; all may run on any thread.
#include <cstddef>
#include <string>

#include "core/stringlist.h"

namespace fhr {

// Field n (from 0) of `text`, the fields being the stretches between
// `separator` bytes; the end of the text closes the last field, so an empty
// text is one empty field. An empty or missing field gives `fallback`. There
// is no quoting: a field cannot hold the separator.
std::string FieldOf(int n, const std::string& text, char separator, const std::string& fallback);

// `text` with field n replaced by `replacement`, everything else (separators
// included) unchanged. Fields count as in FieldOf except that a separator at
// the very end closes the last field without opening an empty one, and is
// kept. A text with fewer than n + 1 fields, or an empty text, is returned
// unchanged.
std::string ReplaceField(int n, const std::string& text, char separator, const std::string& replacement);

// The value of the first name=value line whose name matches `name` without
// regard to letter case; a missing line or an empty value gives `fallback`.
std::string ValueOf(const StringList& list, const std::string& name, const std::string& fallback);

// ValueOf read as a decimal integer (optional sign, digits only); a missing,
// empty, non-numeric or out-of-range value gives `fallback`.
int IntValueOf(const StringList& list, const std::string& name, int fallback);

// A missing or empty value gives `fallback`; otherwise true exactly when the
// value is "1" ("yes", "true" and "2" read as false).
bool FlagValueOf(const StringList& list, const std::string& name, bool fallback);

// A line is blank when nothing but blanks and control characters is in it.
// The trims delete blank lines from the front, from the end, or both (front
// first); blank lines between other lines stay.
bool IsBlankLine(const std::string& line);
void TrimLeadingBlankLines(StringList& list);
void TrimTrailingBlankLines(StringList& list);
void TrimBlankLines(StringList& list);

// Overwrites `size` bytes at `data` with zeros in a way the optimiser may not
// drop, even when the memory is freed right after.
void SecureWipe(void* data, std::size_t size);

// Overwrites every byte a secret text holds (its whole buffer, not only its
// current length) with zeros, then empties it.
void WipeText(std::string& text);

// The platform's text for the error number `err` (an errno value), without a
// trailing line break.
std::string SystemErrorText(int err);
// SystemErrorText of the calling thread's errno, read on entry.
std::string SystemErrorText();

}  // namespace fhr
