#pragma once
// Reading what a news server sends: status lines, the replies to GROUP and
// to a header listing, and the line stream of multi-line replies with its
// dot-stuffing. Everything here is pure and bounded: no input can make it
// keep more than its limits, whatever the server sends.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fhr {

// The first line of every reply: a three-digit code and the rest of the line.
struct NntpReply {
  int code = 0;
  std::string text;  // everything after the code and one blank
};

// A status line is three digits (100 to 599) followed by the end of the line
// or a blank; anything else is not a status line.
std::optional<NntpReply> ParseStatusLine(std::string_view line);

// Reply codes that open a multi-line block (RFC 3977 and its extensions as
// far as this client sends their commands).
bool OpensDataBlock(int code);

// "211 count low high group": the numbers after the code, each a
// non-negative decimal that fits 63 bits. An empty group reads as
// "0 1 0", so high may be one below low.
struct GroupInfo {
  std::int64_t count = 0;
  std::int64_t low = 0;
  std::int64_t high = 0;
};
std::optional<GroupInfo> ParseGroupReply(std::string_view text);

// A line of an XHDR or HDR listing: the article number, one blank, the value.
struct HeaderLine {
  std::int64_t number = 0;
  std::string value;
};
std::optional<HeaderLine> ParseHeaderLine(std::string_view line);

// The article number of "220 n <message-id> ..." (the text after the code),
// or nothing when the text does not start with one.
std::optional<std::int64_t> ParseArticleNumber(std::string_view text);

// A decimal number of digits only that fits 63 bits.
std::optional<std::int64_t> ParseArticleNumberText(std::string_view digits);

// Inside a multi-line block: the line "." ends the block, and a line that
// starts with a dot had one more dot put in front of it by the server.
bool IsBlockTerminator(std::string_view line);
std::string_view UnstuffDataLine(std::string_view line);

// Cuts a byte stream into lines at LF (a CR before it is dropped). A line
// longer than the limit is not kept whole: its first `max_line` bytes are
// returned with `truncated` set once its end arrives, and the rest is
// dropped as it comes, so the buffer never holds more than the limit.
class LineSplitter {
 public:
  struct Line {
    std::string text;
    bool truncated = false;
  };
  explicit LineSplitter(std::size_t max_line) : max_line_(max_line) {}
  // Adds received bytes.
  void Append(std::string_view bytes);
  // The next complete line, or nothing until more bytes arrive.
  std::optional<Line> Next();
  // Bytes received but not yet returned as lines (at most the limit plus
  // what one Append brought).
  std::size_t buffered() const { return buffer_.size() - start_; }

 private:
  std::size_t max_line_;
  std::string buffer_;
  std::size_t start_ = 0;       // first byte not yet returned
  std::size_t scanned_ = 0;     // bytes from start_ known to hold no LF
  bool dropping_ = false;       // inside an over-long line
  std::string kept_;            // the kept head of that line
};

// Collects the lines of one multi-line block: the terminating "." line ends
// it, a leading doubled dot is undone, and once the block passes its size
// limit (or holds a truncated line) it stops keeping lines but goes on
// consuming them to the terminator, so the stream stays in step.
class DataBlock {
 public:
  explicit DataBlock(std::size_t max_bytes) : max_bytes_(max_bytes) {}
  // Takes the next line of the block; returns true when it was the
  // terminator and the block is complete.
  bool Add(const LineSplitter::Line& line);
  bool complete() const { return complete_; }
  // The block was too big or had a line beyond the line limit: its lines
  // are not kept.
  bool oversized() const { return oversized_; }
  // Lines without terminators and with dot-stuffing undone (none when
  // oversized).
  const std::vector<std::string>& lines() const { return lines_; }
  std::vector<std::string> TakeLines() { return std::move(lines_); }
  // Bytes of the block's lines received so far, kept or not.
  std::size_t bytes() const { return bytes_; }

 private:
  std::size_t max_bytes_;
  std::size_t bytes_ = 0;
  bool complete_ = false;
  bool oversized_ = false;
  std::vector<std::string> lines_;
};

}  // namespace fhr
