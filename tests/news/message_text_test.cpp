// The message text rules: subject, sender and subject tag of a message's
// lines, and the address and domain rules.
#include "news/message_text.h"

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

TEST(ExtractSubject, LastSubjectLineBeforeTheThirdBlankLine) {
  const std::pair<Lines, std::string> cases[] = {
      {{"Subject: a", "", "Subject: b", "", "Subject: c", "", "Subject: d"}, "c"},
      {{"X: 1", " \t", "Subject: a", "\t", "Subject: b", "", "Subject: c"}, "b"},
      {{"Subject:   spaced  "}, "spaced"},
      {{"Subject:x"}, "x"},
      {{"Subject:"}, ""},
      {{"subject: lower", "SUBJECT: upper"}, ""},
      {{"", "", "", "Subject: late"}, ""},
      {{}, ""},
  };
  for (const auto& [lines, subject] : cases) {
    EXPECT_EQ(ExtractSubject(ListOf(lines)), subject) << testing::PrintToString(lines);
  }
}

TEST(ExtractSender, AddressOfTheSecondFromLineWhenThereAreTwo) {
  const std::pair<Lines, std::string> cases[] = {
      {{"From: Name <a@one.example>", "From: b@two.example (x)"}, "b@two.example"},
      {{"From: Name <a@one.example>", "", "body"}, "a@one.example"},
      {{"From: a@one", "From: b@two", "From: c@three"}, "b@two"},
      {{"From: a@one", "From: nobody"}, ""},
      {{"From: nobody"}, ""},
      {{"from: a@one", "Reply-To: r@two"}, ""},
      {{}, ""},
  };
  for (const auto& [lines, sender] : cases) {
    EXPECT_EQ(ExtractSender(ListOf(lines)), sender) << testing::PrintToString(lines);
  }
}

TEST(AddressRule, SpanAroundTheFirstAtSign) {
  const std::pair<std::string, std::string> cases[] = {
      {"a=user@host.example;d", "user@host.example"},
      {"Name <user@host>", "user@host"},
      {"user@host", "user@host"},
      {"first@one, second@two", "first@one"},
      {"line\r\nuser@host\r\nmore", "user@host"},
      {"a@b@c", "a@b@c"},
      {"<@>", "@"},
      {"no address here", ""},
      {"", ""},
  };
  for (const auto& [text, address] : cases) EXPECT_EQ(AddressIn(text), address) << text;
}

TEST(DomainRule, TextAfterTheFirstAtSignUpTo1024Bytes) {
  EXPECT_EQ(DomainOf("user@host.example"), "host.example");
  EXPECT_EQ(DomainOf("a@b@c"), "b@c");
  EXPECT_EQ(DomainOf("user@"), "");
  EXPECT_EQ(DomainOf("nohost"), "");
  EXPECT_EQ(DomainOf("u@" + std::string(2000, 'd')), std::string(1024, 'd'));
}

TEST(ExtractSubjectTag, TakesHashSubjectFirstAndDeletesTheHeaderItCameFrom) {
  const struct {
    Lines lines;
    std::string tag;
    Lines after;
  } cases[] = {
      {{"Hash-Subject: h1", "Encrypt-Subject: e1", "", "b"}, "h1", {"Encrypt-Subject: e1", "", "b"}},
      {{"Hash-Subject:", "Encrypt-Subject: e1", "", "b"}, "e1", {"Hash-Subject:", "", "b"}},
      {{"encrypt-subject: e2", " folded"}, "e2\r\n folded", {}},
      {{"From: a", "", "Hash-Subject: in body"}, "", {"From: a", "", "Hash-Subject: in body"}},
      {{}, "", {}},
  };
  for (const auto& c : cases) {
    StringList list = ListOf(c.lines);
    EXPECT_EQ(ExtractSubjectTag(list), c.tag) << testing::PrintToString(c.lines);
    EXPECT_EQ(list.lines(), c.after) << testing::PrintToString(c.lines);
  }
}

}  // namespace
}  // namespace fhr
