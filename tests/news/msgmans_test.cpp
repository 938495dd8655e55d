// Header rules of a message's lines: look-up, deletion, the end of the
// header with remailer "##" pasting, folded lines, the text's length and the
// internal "Subject-No:" line.
#include "news/msgmans.h"

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

TEST(TMsgManager, GetHeader) {
  const struct {
    Lines lines;
    const char* name;
    std::string value;
  } cases[] = {
      // "##" after a blank line pastes further header lines.
      {{"From: a", "", "##", "Subject: x", "", "body"}, "Subject:", "x"},
      {{"From: a", "", "##", "X: 1", "", "##", "Subject: y"}, "Subject:", "y"},
      {{"From: a", " \t ", "##", "Subject: y"}, "Subject:", "y"},
      // A "##" that does not follow a blank line is an ordinary line.
      {{"##", "Subject: z"}, "Subject:", "z"},
      // The header ends at the first blank line; "## " is not "##".
      {{"Subject: x", "", "Subject: y"}, "Subject:", "x"},
      {{"From: a", "", "Subject: x"}, "Subject:", ""},
      {{"From: a", "", "## ", "Subject: x"}, "Subject:", ""},
      {{"From: a", "", "##"}, "Subject:", ""},
      {{"From: a", ""}, "From:", "a"},
      {{}, "Subject:", ""},
      {{""}, "Subject:", ""},
      // Names match case-insensitively as a prefix, colon included.
      {{"SUBJECT:   hello  "}, "Subject:", "hello"},
      {{"Subject-No: 3", "Subject: s"}, "Subject:", "s"},
      {{"Subject-No: 3", "Subject: s"}, "subject-no:", "3"},
      {{"Subjects: no", "Subject:yes"}, "Subject:", "yes"},
      {{"Subject:"}, "Subject:", ""},
      {{"Subject: a:b "}, "Subject:", "a:b"},
      {{"X-A: 1", " Subject: folded", "Subject: real"}, "Subject:", "real"},
      // Folded lines join with CR LF and keep their leading blanks; a line of
      // blanks continues, an empty line does not.
      {{"Subject: abc", "\tdef"}, "Subject:", "abc\r\n\tdef"},
      {{"Subject: abc", " d", "   ", "\te", "X: 1"}, "Subject:", "abc\r\n d\r\n   \r\n\te"},
      {{"Subject: abc", "", "\tdef"}, "Subject:", "abc"},
      {{"Subject: abc", "   "}, "Subject:", "abc"},
      {{"Subject:", " \tfolded only "}, "Subject:", "folded only"},
  };
  for (const auto& c : cases) {
    StringList list = ListOf(c.lines);
    EXPECT_EQ(TMsgManager(list).GetHeader(c.name), c.value) << c.name << " in " << testing::PrintToString(c.lines);
  }
}

TEST(TMsgManager, DeleteHeaderRemovesTheFirstHeaderWithItsFoldedLines) {
  const struct {
    Lines lines;
    const char* name;
    int index;
    Lines after;
  } cases[] = {
      {{"Subject: x", "", "Subject: y"}, "Subject:", 0, {"", "Subject: y"}},
      {{"Received: 1", "Received: 2", ""}, "received:", 0, {"Received: 2", ""}},
      {{"Subject: a", " b", "   ", "\tc", "", "body"}, "Subject:", 0, {"", "body"}},
      {{"Subject: a", "", " b"}, "Subject:", 0, {"", " b"}},
      {{"From: a", "", "##", "Subject: x", "\tmore", "", "body"}, "Subject:", 3, {"From: a", "", "##", "", "body"}},
      {{"A: 1", "Subject: last", " fold"}, "Subject:", 1, {"A: 1"}},
      // Absent: -1 and nothing changes, also past a trailing "##".
      {{"From: a", "", "##", "X: 1"}, "Subject:", -1, {"From: a", "", "##", "X: 1"}},
      {{"From: a", "", "##"}, "Subject:", -1, {"From: a", "", "##"}},
      {{"From: a", "", "Subject: body"}, "Subject:", -1, {"From: a", "", "Subject: body"}},
      {{}, "Subject:", -1, {}},
  };
  for (const auto& c : cases) {
    StringList list = ListOf(c.lines);
    EXPECT_EQ(TMsgManager(list).DeleteHeader(c.name), c.index) << testing::PrintToString(c.lines);
    EXPECT_EQ(list.lines(), c.after) << testing::PrintToString(c.lines);
  }
}

TEST(TMsgManager, DeletionIsSeenThroughEveryManagerOfTheList) {
  StringList list = ListOf({"Subject: a", "From: b", "", "body"});
  TMsgManager first(list);
  TMsgManager second(list);
  EXPECT_EQ(first.DeleteHeader("Subject:"), 0);
  EXPECT_EQ(second.GetHeader("Subject:"), "");
  EXPECT_EQ(second.HeaderEnd(), 1);
}

TEST(TMsgManager, HeaderEnd) {
  const struct {
    Lines lines;
    int end;
  } cases[] = {
      {{"From: a", "", "##", "Subject: x", "", "body"}, 4},
      {{"a: 1", "b: 2"}, 2},
      {{"a: 1", ""}, 1},
      {{"a: 1", " \t ", "x"}, 1},
      {{"", "body"}, 0},
      {{"a: 1", "", "##"}, 3},
      {{"a: 1", "", "## "}, 1},
      {{"a: 1", "", "##", "", "##", "b: 2", "", "body"}, 6},
      {{}, 0},
  };
  for (const auto& c : cases) {
    StringList list = ListOf(c.lines);
    EXPECT_EQ(TMsgManager(list).HeaderEnd(), c.end) << testing::PrintToString(c.lines);
  }
}

TEST(TMsgManager, GetSubjectUnfoldsIntoOneLine) {
  const struct {
    Lines lines;
    std::string subject;
  } cases[] = {
      {{"Subject: abc", "\tdef"}, "abc def"},
      {{"Subject: abc", " def"}, "abc def"},
      {{"Subject: a\tb"}, "a b"},
      {{"Subject: a\rb\nc"}, "abc"},
      {{"From: x"}, ""},
  };
  for (const auto& c : cases) {
    StringList list = ListOf(c.lines);
    EXPECT_EQ(TMsgManager(list).GetSubject(), c.subject) << testing::PrintToString(c.lines);
  }
}

TEST(TMsgManager, TextLengthCountsCrLfAfterEveryLine) {
  const std::pair<Lines, std::size_t> cases[] = {{{"a", "bc"}, 7}, {{}, 0}, {{""}, 2}, {{"\xff\x87", ""}, 6}};
  for (const auto& [lines, length] : cases) {
    StringList list = ListOf(lines);
    EXPECT_EQ(TMsgManager(list).TextLength(), length);
    EXPECT_EQ(TMsgManager(list).TextLength(), list.Text().size());
  }
}

TEST(SubjectNo, IsTheFirstLineAndDeletingItGivesBackTheArticle) {
  const Lines article = {"Subject-No: 99", "From: a", "Subject: s", "", "body"};
  StringList stored = ListOf(article);
  InsertSubjectNo(stored, "3");
  EXPECT_EQ(stored[0], "Subject-No: 3");
  TMsgManager message(stored);
  // The article's own header of that name never shadows the stored one.
  EXPECT_EQ(message.GetHeader(kSubjectNoHeader), "3");
  EXPECT_EQ(message.DeleteHeader(kSubjectNoHeader), 0);
  EXPECT_EQ(stored.lines(), article);
}

}  // namespace
}  // namespace fhr
