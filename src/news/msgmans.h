#pragma once
// A message held as a list of lines without terminators: header lines, a
// blank line, then the body. TMsgManager reads and edits such a list as a
// message: header values, header deletion, the normalised subject, where the
// header ends, the text's length, and the first half of its list key.
//
// Layout rules every operation applies:
// - a line is blank when it holds nothing but bytes up to and including the
//   space (IsBlankLine);
// - the header ends at the first blank line, except that a blank line
//   directly followed by a line that is exactly "##" (remailer header pasting)
//   does not end it: the "##" line matches no name and the lines after it are
//   further header lines. A blank last line ends the header;
// - a header line is a name, a colon and a value; names match as a prefix of
//   the line without regard to ASCII letter case, the caller passing the
//   colon ("Subject:");
// - a header line's continuation lines follow it directly: non-empty lines
//   whose first byte is a space or a tab (a line of blanks continues, an
//   empty line does not).
#include <string>

#include "core/stringlist.h"
#include "news/list_key.h"

namespace fhr {

// The internal header that records which subject line matched a stored
// article; every view of a message deletes it before showing the text.
inline constexpr const char* kSubjectNoHeader = "Subject-No:";

// `text` without the bytes up to and including the space at either end.
std::string TrimHeaderBlanks(const std::string& text);

class TMsgManager {
 public:
  // Works directly on `lines`, which the caller owns and must keep alive for
  // the manager's life; every change is seen at once through the list.
  explicit TMsgManager(StringList& lines) : lines_(lines) {}

  // The trimmed value of the first header named `name` (with its colon),
  // continuation lines joined to it by CR LF and kept unchanged inside the
  // value; "" when the header is absent.
  std::string GetHeader(const std::string& name) const;

  // Deletes the first header named `name` together with its continuation
  // lines and returns the index of the deleted header line; -1 (nothing
  // changed) when the header is absent.
  int DeleteHeader(const std::string& name);

  // The "Subject:" value with every CR and LF removed and every tab made a
  // space, so a folded subject reads as one line; "" when absent.
  std::string GetSubject() const;

  // The index of the blank line that ends the header, or the line count
  // when no line ends it.
  int HeaderEnd() const;

  // The number of bytes of the whole text with each line followed by CR LF.
  std::size_t TextLength() const;

  // Fields 1 to 4 of the message's list key (arrival stamp, flags and
  // "Message-No:", subject, text length, "From:"), without a trailing
  // separator; each field is cleaned as MakeKeyField says. The stamp is
  // taken from `now` and moved on past every stamp `inUse` reports taken.
  std::string MakeListKey(const StampInUse& inUse = {}, const Clock& now = SystemClock) const;

 private:
  // Index of the first line of the header named `name`, or -1.
  int FindHeader(const std::string& name) const;
  // Index just past the continuation lines that follow line `i`.
  std::size_t ContinuationEnd(std::size_t i) const;

  StringList& lines_;
};

// Inserts the internal "Subject-No: " line naming subject line `subno` at
// the top of an article's lines, as it is stored.
void InsertSubjectNo(StringList& lines, const std::string& subno);

}  // namespace fhr
