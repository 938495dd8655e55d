#include "core/stringlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fhr {
namespace {

using Lines = std::vector<std::string>;

StringList ListOf(const Lines& lines) {
  StringList list;
  for (const std::string& line : lines) list.Add(line);
  return list;
}

StringList FromComma(const std::string& text) {
  StringList list;
  list.SetCommaText(text);
  return list;
}

struct WriteCase {
  Lines lines;
  std::string comma;
};

TEST(StringListCommaText, WritesQuotingOnlyWhatNeedsIt) {
  const WriteCase cases[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"", ""}, ","},
      {{"a", ""}, "a,"},
      {{"", "a"}, ",a"},
      {{"a", "b", "c"}, "a,b,c"},
      {{"name=John Smith"}, "\"name=John Smith\""},
      {{"a,b"}, "\"a,b\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"x\"y"}, "\"x\"\"y\""},
      {{"tab\there"}, "\"tab\there\""},
      {{std::string("nul\0in", 6)}, std::string("\"nul\0in\"", 8)},
      {{"line\r\nbreak"}, "\"line\r\nbreak\""},
      {{"del\x7f"}, "del\x7f"},
      // Bytes from 0x80 up are ordinary: never quoted, never separators.
      {{"a\x87" "b\xff" "c\xa0" "d\x80"}, "a\x87" "b\xff" "c\xa0" "d\x80"},
      {{"\xa0", "\xff"}, "\xa0,\xff"},
      {{"k=v", "", "w"}, "k=v,,w"},
  };
  for (const WriteCase& c : cases) {
    EXPECT_EQ(ListOf(c.lines).CommaText(), c.comma) << "lines: " << c.lines.size();
  }
}

struct ReadCase {
  std::string comma;
  Lines lines;
};

TEST(StringListCommaText, ReadsItemsQuotesBlanksAndEmptyItems) {
  const ReadCase cases[] = {
      {"", {}},
      {"   ", {}},
      {"\"\"", {""}},
      {"a", {"a"}},
      {"a,b", {"a", "b"}},
      {"  a ,  b  ", {"a", "b"}},
      {"a,", {"a", ""}},              // a trailing comma adds one empty item
      {",", {"", ""}},
      {"a,,b", {"a", "", "b"}},
      {"a,,", {"a", "", ""}},
      {"a, ", {"a"}},                 // the comma is not the last byte
      {"name=John Smith", {"name=John", "Smith"}},  // an unquoted blank separates
      {"\"name=John Smith\"", {"name=John Smith"}},
      {"\"a\"\"b\"", {"a\"b"}},
      {"\"a,b\",c", {"a,b", "c"}},
      {"\"unterminated, runs to end", {"unterminated, runs to end"}},
      {"\"ends in a doubled quote\"\"", {"ends in a doubled quote\""}},
      {"\"a\"b", {"a", "b"}},         // text after a closing quote starts the next item
      {"a\"b", {"a\"b"}},             // a quote inside an unquoted item is kept
      {"a\tb\nc", {"a", "b", "c"}},   // control characters separate like blanks
      {"\x87" "a,\xff\xa0", {"\x87" "a", "\xff\xa0"}},
      {"\xa0 \x80", {"\xa0", "\x80"}},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(FromComma(c.comma).lines(), c.lines) << "comma text: [" << c.comma << "]";
  }
}

TEST(StringListCommaText, RoundTripsAwkwardLists) {
  const Lines lists[] = {
      {},
      {""},
      {"", ""},
      {"", "", ""},
      {" "},
      {"\"", "\"\"", ","},
      {"a", "", "b", ""},
      {"subno=2001", "esub=\x87\xff secret", "active=1"},
      {std::string("\0", 1), "\x7f", "\x80\x81\xfe\xff"},
  };
  for (const Lines& lines : lists) {
    const StringList list = ListOf(lines);
    EXPECT_EQ(FromComma(list.CommaText()).lines(), lines) << list.CommaText();
  }
}

TEST(StringListNames, ReadsAndWritesByNameIgnoringCase) {
  StringList list{"Host=news.example", "port=119", "noequals", "=empty name", "user=a=b", "PORT=563"};
  EXPECT_EQ(list.Value("host"), "news.example");
  EXPECT_EQ(list.Value("Port"), "119");  // first match wins
  EXPECT_EQ(list.Value("user"), "a=b");  // split at the first "="
  EXPECT_EQ(list.Value("noequals"), "");
  EXPECT_EQ(list.Value("missing"), "");
  EXPECT_EQ(list.IndexOfName("PoRt"), 1);
  EXPECT_EQ(list.IndexOfName("noequals"), -1);
  EXPECT_EQ(list.Name(2), "");
  EXPECT_EQ(list.ValueFromIndex(2), "");
  EXPECT_EQ(list.Name(4), "user");
  EXPECT_EQ(list.ValueFromIndex(4), "a=b");
  // Case folding is ASCII only: 0xC4 and 0xE4 are different names.
  StringList latin{"\xc4=1"};
  EXPECT_EQ(latin.Value("\xe4"), "");

  list.SetValue("PORT", "120");  // replaces the first match, in place
  EXPECT_EQ(list[1], "PORT=120");
  list.SetValue("pass", "secret");  // a new name is appended
  EXPECT_EQ(list[list.size() - 1], "pass=secret");
  list.SetValue("port", "");  // an empty value removes the line
  EXPECT_EQ(list.Value("port"), "563");
  EXPECT_EQ(list.IndexOf("PORT=120"), -1);
  list.SetValue("absent", "");  // removing what is not there changes nothing
  EXPECT_EQ(list.size(), 6u);
}

struct TextCase {
  std::string text;
  Lines lines;
};

TEST(StringListText, SplitsOnEveryLineEndAndWritesCrLf) {
  const TextCase cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {"\r\n", {""}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\r\r\n", {"a", ""}},
      {"\n\n", {"", ""}},
      {"\x87\xff\r\n", {"\x87\xff"}},
  };
  for (const TextCase& c : cases) {
    StringList list;
    list.SetText(c.text);
    EXPECT_EQ(list.lines(), c.lines) << "[" << c.text << "]";
  }
  EXPECT_EQ((StringList{"a", "", "b"}).Text(), "a\r\n\r\nb\r\n");
  EXPECT_EQ(StringList().Text(), "");
}

TEST(StringListObjects, TravelWithTheirLines) {
  StringList list;
  auto first = std::make_shared<int>(1);
  auto second = std::make_shared<int>(2);
  list.Add("one", first);
  list.Add("three");
  list.Insert(1, "two", second);
  ASSERT_EQ(list.lines(), (Lines{"one", "two", "three"}));
  EXPECT_EQ(list.ObjectAt(1), second);
  list.Delete(0);
  EXPECT_EQ(list.ObjectAt(0), second);
  EXPECT_EQ(list.ObjectAt(1), nullptr);
  EXPECT_EQ(list.IndexOf("three"), 1);
  EXPECT_EQ(list.IndexOf("THREE"), -1);
  list.Clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(first.use_count(), 1);
  EXPECT_EQ(second.use_count(), 1);
}

}  // namespace
}  // namespace fhr
