#include "news/nntp_reply.h"

#include <limits>

namespace fhr {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits off the next blank-separated word of `text`, skipping blanks before it.
std::string_view NextWord(std::string_view& text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    text = {};
    return {};
  }
  std::size_t end = text.find(' ', start);
  if (end == std::string_view::npos) end = text.size();
  std::string_view word = text.substr(start, end - start);
  text.remove_prefix(end);
  return word;
}

}  // namespace

std::optional<std::int64_t> ParseArticleNumberText(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    int d = c - '0';
    if (value > (std::numeric_limits<std::int64_t>::max() - d) / 10) return std::nullopt;
    value = value * 10 + d;
  }
  return value;
}

std::optional<NntpReply> ParseStatusLine(std::string_view line) {
  if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) {
    return std::nullopt;
  }
  if (line.size() > 3 && line[3] != ' ') return std::nullopt;
  int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
  if (code < 100 || code > 599) return std::nullopt;
  NntpReply reply;
  reply.code = code;
  if (line.size() > 4) reply.text.assign(line.substr(4));
  return reply;
}

bool OpensDataBlock(int code) {
  switch (code) {
    case 100:  // HELP
    case 101:  // CAPABILITIES
    case 202:  // LIST EXTENSIONS
    case 215:  // LIST
    case 220:  // ARTICLE
    case 221:  // HEAD, XHDR
    case 222:  // BODY
    case 224:  // OVER
    case 225:  // HDR
    case 230:  // NEWNEWS
    case 231:  // NEWGROUPS
      return true;
    default:
      return false;
  }
}

std::optional<GroupInfo> ParseGroupReply(std::string_view text) {
  GroupInfo info;
  std::int64_t* fields[] = {&info.count, &info.low, &info.high};
  for (std::int64_t* field : fields) {
    auto number = ParseArticleNumberText(NextWord(text));
    if (!number) return std::nullopt;
    *field = *number;
  }
  return info;
}

std::optional<HeaderLine> ParseHeaderLine(std::string_view line) {
  std::size_t blank = line.find(' ');
  auto number = ParseArticleNumberText(line.substr(0, blank));
  if (!number) return std::nullopt;
  HeaderLine header;
  header.number = *number;
  if (blank != std::string_view::npos) header.value.assign(line.substr(blank + 1));
  return header;
}

std::optional<std::int64_t> ParseArticleNumber(std::string_view text) {
  return ParseArticleNumberText(NextWord(text));
}

bool IsBlockTerminator(std::string_view line) { return line == "."; }

std::string_view UnstuffDataLine(std::string_view line) {
  if (!line.empty() && line[0] == '.') line.remove_prefix(1);
  return line;
}

void LineSplitter::Append(std::string_view bytes) {
  if (start_ > 0 && start_ == buffer_.size()) {
    buffer_.clear();
    start_ = scanned_ = 0;
  }
  buffer_.append(bytes);
}

std::optional<LineSplitter::Line> LineSplitter::Next() {
  for (;;) {
    std::size_t from = start_ + scanned_;
    std::size_t lf = buffer_.find('\n', from);
    if (lf == std::string::npos) {
      std::size_t pending = buffer_.size() - start_;
      if (dropping_ || pending > max_line_ + 1) {  // + 1: a CR may still precede the LF
        // An over-long line: keep its head once, drop the rest as it comes.
        if (!dropping_) {
          kept_.assign(buffer_, start_, max_line_);
          dropping_ = true;
        }
        buffer_.clear();
        start_ = scanned_ = 0;
      } else {
        scanned_ = pending;
      }
      return std::nullopt;
    }
    Line line;
    std::size_t end = lf;
    if (end > start_ && buffer_[end - 1] == '\r') --end;
    if (dropping_) {
      line.text = std::move(kept_);
      kept_.clear();
      line.truncated = true;
      dropping_ = false;
    } else if (end - start_ > max_line_) {
      line.text.assign(buffer_, start_, max_line_);
      line.truncated = true;
    } else {
      line.text.assign(buffer_, start_, end - start_);
    }
    start_ = lf + 1;
    scanned_ = 0;
    // Keep the buffer from growing with consumed bytes.
    if (start_ > 65536 && start_ * 2 > buffer_.size()) {
      buffer_.erase(0, start_);
      start_ = 0;
    }
    return line;
  }
}

bool DataBlock::Add(const LineSplitter::Line& line) {
  if (complete_) return true;
  if (!line.truncated && IsBlockTerminator(line.text)) {
    complete_ = true;
    return true;
  }
  bytes_ += line.text.size() + 2;
  if (line.truncated || bytes_ > max_bytes_) {
    if (!oversized_) {
      oversized_ = true;
      lines_.clear();
      lines_.shrink_to_fit();
    }
    return false;
  }
  if (!oversized_) lines_.emplace_back(UnstuffDataLine(line.text));
  return false;
}

}  // namespace fhr
