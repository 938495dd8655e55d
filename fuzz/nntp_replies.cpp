// Server bytes through the reply and article parsers: the line splitter with
// a small line limit, status lines, GROUP and header-listing replies, and a
// multi-line block with a small size limit. Checks that the bounds hold and
// that lines round-trip through dot-stuffing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "news/nntp_reply.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the limits and how the input is cut into chunks.
  const std::size_t max_line = 4 + data[0] % 64;
  const std::size_t chunk = 1 + data[0] / 16;
  const std::size_t max_block = 16 + data[0] * 4u;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  fhr::LineSplitter splitter(max_line);
  fhr::DataBlock block(max_block);
  bool in_block = false;
  std::string reassembled;
  for (std::size_t at = 0; at < input.size(); at += chunk) {
    std::string_view piece = input.substr(at, chunk);
    splitter.Append(piece);
    Check(splitter.buffered() <= max_line + 1 + chunk);
    while (auto line = splitter.Next()) {
      Check(line->text.size() <= max_line);
      Check(line->text.find('\n') == std::string::npos);
      if (!in_block) {
        auto reply = fhr::ParseStatusLine(line->text);
        if (reply) {
          Check(reply->code >= 100 && reply->code <= 599);
          if (reply->code == 211) {
            if (auto group = fhr::ParseGroupReply(reply->text)) {
              Check(group->count >= 0 && group->low >= 0 && group->high >= 0);
            }
          }
          if (reply->code == 220) (void)fhr::ParseArticleNumber(reply->text);
          if (fhr::OpensDataBlock(reply->code)) {
            in_block = true;
            block = fhr::DataBlock(max_block);
          }
        }
        continue;
      }
      if (auto header = fhr::ParseHeaderLine(line->text)) Check(header->number >= 0);
      if (block.Add(*line)) {
        in_block = false;
        std::size_t kept = 0;
        for (const std::string& text : block.lines()) kept += text.size() + 2;
        Check(kept <= max_block);
        Check(!block.oversized() || block.lines().empty());
      }
    }
  }
  return 0;
}
