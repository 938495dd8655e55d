// The message list's row: date, size, read mark and the subject rules.
#include "ui/message_row.h"

#include <gtest/gtest.h>

#include "news/list_key.h"

namespace fhr {
namespace {

std::string Key(const std::string& stamp, char flag, const std::string& length, const std::string& subject) {
  const std::string sep(1, kKeySeparator);
  return stamp + flag + '\x80' + "7" + sep + "subj" + sep + length + sep + "a@b" + sep + "12" + sep + subject +
         sep + "2001" + sep + "nym";
}

TEST(SizeText, KilobytesRoundedAndGrouped) {
  const std::pair<const char*, const char*> cases[] = {
      {"0", "1 KB"},        {"500", "1 KB"},         {"1500", "1 KB"},          {"1501", "2 KB"},
      {"999999", "1,000 KB"}, {"1234000", "1,234 KB"}, {"1234567000", "1234,567 KB"}, {"", "1 KB"},
      {"12x", "1 KB"},      {"-5", "1 KB"},
  };
  for (const auto& [length, shown] : cases) EXPECT_EQ(SizeText(length), shown) << length;
}

TEST(MessageRow, ColumnsFromTheKey) {
  StringList lines{"From: x", "", "-----BEGIN PGP MESSAGE-----"};
  MessageRow row = MakeMessageRow(Key("170305142201000", '\x81', "1501", "my line"), lines);
  EXPECT_TRUE(row.read);
  EXPECT_EQ(row.date, "2017-03-05 14:22");
  EXPECT_EQ(row.from, "a@b");
  EXPECT_EQ(row.size, "2 KB");
  EXPECT_EQ(row.subject, "my line");
  EXPECT_FALSE(MakeMessageRow(Key("170305142201000", '\x80', "1", ""), lines).read);
}

TEST(MessageRow, SubjectRules) {
  // Encrypted, no subject line subject: the tag, without the suffix, and
  // the tag's header is taken out of the lines.
  StringList encrypted{"Hash-Subject: abcd", "Subject: s", "", "-----BEGIN PGP MESSAGE-----"};
  EXPECT_EQ(MakeMessageRow(Key("170305142201000", '\x80', "1", ""), encrypted).subject, "abcd");
  EXPECT_EQ(encrypted.IndexOf("Hash-Subject: abcd"), -1);
  // Clear text: the subject line's subject, ":  " and the message subject.
  StringList clear{"Subject: hello", "", "body"};
  EXPECT_EQ(MakeMessageRow(Key("170305142201000", '\x80', "1", "line"), clear).subject, "line:  hello");
  // A damaged key still gives a row.
  StringList none;
  EXPECT_EQ(MakeMessageRow("junk", none).date, "");
}

}  // namespace
}  // namespace fhr
