#include "news/nntp_reply.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fhr {
namespace {

TEST(NntpReplyTest, StatusLines) {
  struct Row {
    const char* line;
    bool valid;
    int code;
    const char* text;
  };
  const Row rows[] = {
      {"200 news ready", true, 200, "news ready"},
      {"211 3 1 3 alt.test", true, 211, "3 1 3 alt.test"},
      {"205", true, 205, ""},
      {"205 ", true, 205, ""},
      {"480  two blanks", true, 480, " two blanks"},
      {"099 too low", false, 0, ""},
      {"600 too high", false, 0, ""},
      {"20 short", false, 0, ""},
      {"2000 long code", false, 0, ""},
      {"abc", false, 0, ""},
      {"", false, 0, ""},
      {"22x oops", false, 0, ""},
      {"\xff\xfe\x00", false, 0, ""},
  };
  for (const Row& row : rows) {
    auto reply = ParseStatusLine(row.line);
    ASSERT_EQ(reply.has_value(), row.valid) << row.line;
    if (reply) {
      EXPECT_EQ(reply->code, row.code) << row.line;
      EXPECT_EQ(reply->text, row.text) << row.line;
    }
  }
}

TEST(NntpReplyTest, GroupReplies) {
  auto group = ParseGroupReply("3 4000 5003 alt.anonymous.messages");
  ASSERT_TRUE(group);
  EXPECT_EQ(group->count, 3);
  EXPECT_EQ(group->low, 4000);
  EXPECT_EQ(group->high, 5003);

  auto empty = ParseGroupReply("0 1 0 alt.test.empty");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->low, 1);
  EXPECT_EQ(empty->high, 0);

  auto big = ParseGroupReply("1 9223372036854775806 9223372036854775807 g");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->high, 9223372036854775807LL);

  for (const char* bad : {"", "3 4000", "-1 1 2 g", "3 x 5 g", "3 1 9223372036854775808 g", "3 1 +5 g"}) {
    EXPECT_FALSE(ParseGroupReply(bad)) << bad;
  }
}

TEST(NntpReplyTest, HeaderAndArticleNumbers) {
  auto line = ParseHeaderLine("4711 abc def");
  ASSERT_TRUE(line);
  EXPECT_EQ(line->number, 4711);
  EXPECT_EQ(line->value, "abc def");
  auto bare = ParseHeaderLine("12");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->value, "");
  EXPECT_FALSE(ParseHeaderLine(" 12 x"));
  EXPECT_FALSE(ParseHeaderLine("x12 y"));
  EXPECT_FALSE(ParseHeaderLine(""));

  EXPECT_EQ(ParseArticleNumber("5001 <id@host> article"), 5001);
  EXPECT_FALSE(ParseArticleNumber("<id@host> article"));
}

std::vector<LineSplitter::Line> Split(LineSplitter& splitter, const std::vector<std::string>& chunks) {
  std::vector<LineSplitter::Line> lines;
  for (const std::string& chunk : chunks) {
    splitter.Append(chunk);
    while (auto line = splitter.Next()) lines.push_back(*line);
  }
  return lines;
}

TEST(NntpReplyTest, SplitterJoinsChunksAndAcceptsBareLf) {
  LineSplitter splitter(100);
  auto lines = Split(splitter, {"200 he", "llo\r", "\n211 x\nlast\r\n", "partial"});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "200 hello");
  EXPECT_EQ(lines[1].text, "211 x");
  EXPECT_EQ(lines[2].text, "last");
  EXPECT_FALSE(lines[2].truncated);
  EXPECT_EQ(splitter.buffered(), 7u);
}

TEST(NntpReplyTest, SplitterBoundsOverlongLines) {
  LineSplitter splitter(8);
  // A line of exactly the limit, split before its CR LF, is whole.
  auto lines = Split(splitter, {"12345678", "\r\n"});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_FALSE(lines[0].truncated);

  // A huge line arriving in chunks keeps only its head, and the buffer
  // never grows with it.
  std::vector<std::string> chunks(100, std::string(1000, 'x'));
  chunks.front() = "HEAD" + chunks.front();
  chunks.push_back("\r\nnext\r\n");
  std::size_t largest = 0;
  std::vector<LineSplitter::Line> out;
  for (const std::string& chunk : chunks) {
    splitter.Append(chunk);
    largest = std::max(largest, splitter.buffered());
    while (auto line = splitter.Next()) out.push_back(*line);
  }
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[0].truncated);
  EXPECT_EQ(out[0].text, "HEADxxxx");
  EXPECT_EQ(out[1].text, "next");
  EXPECT_LE(largest, 1000u + 8u + 4u);
}

TEST(NntpReplyTest, DataBlockUnstuffsAndStopsAtTerminator) {
  DataBlock block(1000);
  EXPECT_FALSE(block.Add({"Subject: x", false}));
  EXPECT_FALSE(block.Add({"", false}));
  EXPECT_FALSE(block.Add({"..leading dot", false}));
  EXPECT_FALSE(block.Add({"..", false}));
  EXPECT_TRUE(block.Add({".", false}));
  EXPECT_TRUE(block.complete());
  EXPECT_FALSE(block.oversized());
  EXPECT_EQ(block.lines(), (std::vector<std::string>{"Subject: x", "", ".leading dot", "."}));
}

TEST(NntpReplyTest, DataBlockDropsOversizedContentButFindsItsEnd) {
  DataBlock big(10);
  EXPECT_FALSE(big.Add({"0123456789", false}));
  EXPECT_TRUE(big.oversized());
  EXPECT_FALSE(big.Add({"more", false}));
  EXPECT_TRUE(big.Add({".", false}));
  EXPECT_TRUE(big.lines().empty());

  DataBlock cut(1000);
  cut.Add({"fine", false});
  cut.Add({"head of a long line", true});
  // A truncated "." is the head of a longer line, not the terminator.
  EXPECT_FALSE(cut.Add({".", true}));
  EXPECT_TRUE(cut.Add({".", false}));
  EXPECT_TRUE(cut.oversized());
}

}  // namespace
}  // namespace fhr
