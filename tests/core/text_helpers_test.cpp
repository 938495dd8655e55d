#include "core/text_helpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace fhr {
namespace {

struct FieldCase {
  int n;
  std::string text;
  char separator;
  std::string expected;
};

TEST(FieldOf, EmptyAndMissingFieldsGiveTheDefault) {
  const FieldCase cases[] = {
      {0, "a,,c", ',', "a"},   {1, "a,,c", ',', "x"},  {2, "a,,c", ',', "c"},
      {3, "a,,c", ',', "x"},   {0, "", ',', "x"},      {0, "abc", ',', "abc"},
      {1, "a,", ',', "x"},     {2, "a,", ',', "x"},    {-1, "a,b", ',', "x"},
      {1, "k\x87n\x87t", '\x87', "n"},                 {2, "a\xad" "b\xad" "c", '\xad', "c"},
      {1, "one two", ' ', "two"}, {1, "<a<b", '<', "a"},
  };
  for (const FieldCase& c : cases) {
    EXPECT_EQ(FieldOf(c.n, c.text, c.separator, "x"), c.expected) << c.n << " of [" << c.text << "]";
  }
}

TEST(ReplaceField, ReplacesOneFieldAndKeepsTheRest) {
  const FieldCase cases[] = {
      {0, "a,b", ',', "X,b"},   {1, "a,b", ',', "a,X"},   {2, "a,b", ',', "a,b"},
      {1, "a,b,", ',', "a,X,"}, {2, "a,b,", ',', "a,b,"}, {0, "", ',', ""},
      {1, "a,,c", ',', "a,X,c"}, {0, ",", ',', "X,"},     {1, ",", ',', ","},
      {-1, "a,b", ',', "a,b"},  {2, "k\x87n\x87t", '\x87', "k\x87n\x87X"},
  };
  for (const FieldCase& c : cases) {
    EXPECT_EQ(ReplaceField(c.n, c.text, c.separator, "X"), c.expected) << c.n << " of [" << c.text << "]";
  }
}

TEST(ValueOf, DefaultsForAbsentOrEmptyValues) {
  const StringList list{"Name=Alice", "empty=", "count=42", "neg=-7", "plus=+5", "junk=12x", "big=99999999999",
                        "blank= 3"};
  EXPECT_EQ(ValueOf(list, "name", "d"), "Alice");
  EXPECT_EQ(ValueOf(list, "empty", "d"), "d");
  EXPECT_EQ(ValueOf(list, "missing", "d"), "d");

  const std::pair<const char*, int> ints[] = {{"count", 42}, {"neg", -7},  {"plus", 5},   {"junk", -1},
                                              {"big", -1},   {"blank", -1}, {"empty", -1}, {"missing", -1},
                                              {"name", -1}};
  for (const auto& [name, expected] : ints) EXPECT_EQ(IntValueOf(list, name, -1), expected) << name;
}

TEST(FlagValueOf, OnlyOneIsTrueAndNoValueGivesTheDefault) {
  const std::pair<const char*, bool> cases[] = {{"beep=", true},     {"beep=0", false}, {"beep=1", true},
                                                {"beep=yes", false}, {"beep=2", false}, {"other=1", true},
                                                {"BEEP=1", true}};
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(FlagValueOf(StringList{line}, "beep", true), expected) << line;
  }
  EXPECT_FALSE(FlagValueOf(StringList{"beep="}, "beep", false));
}

TEST(TrimBlankLines, RemovesBlankLinesAtBothEndsOnly) {
  StringList list{"", " ", "a", "", "b", "\t"};
  TrimBlankLines(list);
  EXPECT_EQ(list.lines(), (std::vector<std::string>{"a", "", "b"}));

  StringList front{" \r", "x", " "};
  TrimLeadingBlankLines(front);
  EXPECT_EQ(front.lines(), (std::vector<std::string>{"x", " "}));
  TrimTrailingBlankLines(front);
  EXPECT_EQ(front.lines(), (std::vector<std::string>{"x"}));

  StringList all_blank{"", "  ", "\t\r"};
  TrimBlankLines(all_blank);
  EXPECT_TRUE(all_blank.empty());

  // 0xA0 (a no-break space in Latin-1) is a character, not a blank.
  StringList high{"\xa0", ""};
  TrimBlankLines(high);
  EXPECT_EQ(high.lines(), (std::vector<std::string>{"\xa0"}));
}

TEST(WipeText, ZeroesTheWholeBufferAndEmptiesTheText) {
  std::string secret(64, 'S');
  secret.resize(8);  // the bytes past the end are still in the buffer
  const char* buffer = secret.data();
  const std::size_t capacity = secret.capacity();
  WipeText(secret);
  EXPECT_TRUE(secret.empty());
  ASSERT_EQ(secret.data(), buffer);  // wiped in place, not reallocated
  for (std::size_t i = 0; i < capacity; ++i) ASSERT_EQ(buffer[i], '\0') << i;
}

TEST(SystemErrorText, GivesThePlatformsText) {
  EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
  errno = EACCES;
  EXPECT_EQ(SystemErrorText(), "Permission denied");
  EXPECT_FALSE(SystemErrorText(123456).empty());
}

}  // namespace
}  // namespace fhr
