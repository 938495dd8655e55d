// The message list key: arrival stamps and their collisions, cleaning of
// fields, building a key from a message, reading it back, the read flag.
#include "news/list_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "news/msgmans.h"

namespace fhr {
namespace {

using std::chrono::milliseconds;
using TimePoint = std::chrono::system_clock::time_point;

// A local wall-clock time, so the expected stamps do not depend on the
// machine's time zone.
TimePoint LocalTime(int year, int month, int day, int hour, int minute, int second, int millis) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  return std::chrono::system_clock::from_time_t(std::mktime(&tm)) + milliseconds(millis);
}

std::vector<std::string> Fields(const std::string& key) {
  std::vector<std::string> fields(1);
  for (char c : key) {
    if (c == kKeySeparator) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

TEST(ArrivalStamp, IsLocalTimeToTheMillisecond) {
  EXPECT_EQ(FormatStamp(LocalTime(2017, 3, 5, 14, 22, 7, 123)), "170305142207123");
  EXPECT_EQ(FormatStamp(LocalTime(2009, 11, 30, 0, 0, 0, 5)), "091130000000005");
  EXPECT_EQ(FormatStamp(LocalTime(2031, 6, 15, 23, 59, 59, 999)), "310615235959999");
}

TEST(ArrivalStamp, AStampInUseMovesOnByMillisecondsUntilFree) {
  const TimePoint t = LocalTime(1999, 12, 31, 23, 59, 59, 998);
  const std::set<std::string> taken = {"991231235959998", "991231235959999", "000101000000000"};
  const StampInUse inUse = [&](const std::string& s) { return taken.count(s) > 0; };
  // The free stamp crosses the turn of the second, day and year.
  EXPECT_EQ(FreeStamp(t, inUse), "000101000000001");
  EXPECT_EQ(FreeStamp(t, {}), "991231235959998");
  EXPECT_EQ(FreeStamp(t + milliseconds(5), inUse), FormatStamp(t + milliseconds(5)));
}

TEST(ArrivalStamp, ManyMessagesInOneMillisecondGetDistinctStampsInOrder) {
  const TimePoint t = LocalTime(2020, 2, 29, 12, 0, 0, 900);
  std::set<std::string> taken;
  std::vector<std::string> stamps;
  for (int i = 0; i < 150; ++i) {
    const std::string stamp = FreeStamp(t, [&](const std::string& s) { return taken.count(s) > 0; });
    EXPECT_TRUE(taken.insert(stamp).second);
    stamps.push_back(stamp);
  }
  EXPECT_TRUE(std::is_sorted(stamps.begin(), stamps.end()));
  EXPECT_EQ(stamps.back(), "200229120001049");
}

TEST(MakeKeyField, ReplacesBytesThatWouldBreakAKeyOrARecordName) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\rb\nc", "a b c"},
      {std::string("a\0b", 3), "a b"},
      {"x\x87y\xffz", "x y z"},
      {"a\r\n\tb", "a  \tb"},
      // A UTF-8 character holding 0x87 ("ч") is replaced as a whole; other
      // UTF-8 and Latin-1 text stays.
      {"x\xD1\x87y", "x\xEF\xBF\xBDy"},
      {"\xE2\x80\x87", "\xEF\xBF\xBD"},
      {"caf\xC3\xA9 \xD1\x80", "caf\xC3\xA9 \xD1\x80"},
      {"\xE9\x87", "\xE9 "},
      {"\xD1", "\xD1"},
      {"\x80\x81\xAD\xFE\t", "\x80\x81\xAD\xFE\t"},
      {"", ""},
  };
  for (const auto& [value, field] : cases) EXPECT_EQ(MakeKeyField(value), field) << testing::PrintToString(value);
}

TEST(MakeListKey, BuildsTheFirstFourFieldsFromTheMessage) {
  StringList lines{"Subject-No: 2", "From: Alice <a@b.example>", "Subject: hi", "\tthere", "Message-No: 42", "",
                   "body"};
  const TimePoint t = LocalTime(2017, 3, 5, 14, 22, 7, 123);
  const std::string key = TMsgManager(lines).MakeListKey({}, [&] { return t; });
  const std::string expected = std::string("170305142207123\x80\x80") + "42\x87" + "hi there\x87" +
                               std::to_string(lines.Text().size()) + "\x87" + "Alice <a@b.example>";
  EXPECT_EQ(key, expected);
  EXPECT_FALSE(IsRead(key));
}

TEST(MakeListKey, NoFieldOfAHostileMessageCarriesAForbiddenByte) {
  StringList lines{"From: a\x87" "b", "\tc\xff", std::string("Subject: s\x87t\0u", 14),
                   "Message-No: 7\x87" "8\r", "", "body \x87\xff"};
  const std::string firstHalf = TMsgManager(lines).MakeListKey({}, [] { return TimePoint{}; });
  const std::string key = CompleteListKey(firstHalf, 12, "subj\x87line", "3\n", std::string("ny\0m\xff", 5));
  const std::vector<std::string> fields = Fields(key);
  ASSERT_EQ(fields.size(), 8u) << testing::PrintToString(key);
  for (const std::string& field : fields) {
    for (char c : {'\r', '\n', '\0', '\xff'}) EXPECT_EQ(field.find(c), std::string::npos) << testing::PrintToString(key);
  }
  const ListKeyFields parsed = ParseListKey(key);
  EXPECT_EQ(parsed.messageNo, "7 8");
  EXPECT_EQ(parsed.subject, "s t u");
  EXPECT_EQ(parsed.from, "a b  \tc ");
  EXPECT_EQ(parsed.subjectLine, "subj line");
  EXPECT_EQ(parsed.nym, "ny m ");
}

TEST(MakeListKey, AnEmptyMessageStillGivesAKey) {
  StringList none;
  const std::string key = TMsgManager(none).MakeListKey();
  EXPECT_TRUE(IsStamp(StampOf(key)));
  EXPECT_EQ(Fields(key).size(), 4u);
  EXPECT_EQ(ParseListKey(key).textLength, "0");
}

TEST(MakeListKey, SkipsStampsInUse) {
  StringList lines{"Subject: a"};
  const TimePoint t = LocalTime(2024, 1, 2, 3, 4, 5, 6);
  const std::set<std::string> taken = {"240102030405006"};
  const std::string key =
      TMsgManager(lines).MakeListKey([&](const std::string& s) { return taken.count(s) > 0; }, [&] { return t; });
  EXPECT_EQ(StampOf(key), "240102030405007");
}

TEST(ListKey, ParsesEveryFieldOfACompleteKey) {
  const std::string key = CompleteListKey(std::string("170305142207123\x80\x80") + "m1\x87S\x87" "120\x87" "F",
                                          4711, "hsub", "5", "alice");
  EXPECT_EQ(key.back(), 'e');  // no separator ends the key
  const ListKeyFields p = ParseListKey(key);
  EXPECT_EQ(p.stamp, "170305142207123");
  EXPECT_FALSE(p.read);
  EXPECT_EQ(p.messageNo, "m1");
  EXPECT_EQ(p.subject, "S");
  EXPECT_EQ(p.textLength, "120");
  EXPECT_EQ(p.from, "F");
  EXPECT_EQ(p.articleNumber, "4711");
  EXPECT_EQ(p.subjectLine, "hsub");
  EXPECT_EQ(p.subno, "5");
  EXPECT_EQ(p.nym, "alice");
}

TEST(ListKey, ShortOrDamagedKeysReadAsFarAsTheyGo) {
  const struct {
    std::string key;
    std::string stamp;
    bool read;
    std::string messageNo;
    std::string subject;
  } cases[] = {
      {"", "", false, "", ""},
      {"1703", "1703", false, "", ""},
      {"170305142207123", "170305142207123", false, "", ""},
      {"170305142207123\x81", "170305142207123", true, "", ""},
      {"170305142207123\x81\x80", "170305142207123", true, "", ""},
      {"170305142207123\x80\x80" "9\x87s", "170305142207123", false, "9", "s"},
      {"17030514\x87x", "17030514\x87x", false, "", "x"},
  };
  for (const auto& c : cases) {
    const ListKeyFields p = ParseListKey(c.key);
    EXPECT_EQ(p.stamp, c.stamp) << testing::PrintToString(c.key);
    EXPECT_EQ(p.read, c.read) << testing::PrintToString(c.key);
    EXPECT_EQ(p.messageNo, c.messageNo) << testing::PrintToString(c.key);
    EXPECT_EQ(p.subject, c.subject) << testing::PrintToString(c.key);
    EXPECT_TRUE(p.nym.empty());
  }
}

TEST(ListKey, ReadFlagIsBitZeroOfTheSixteenthByte) {
  const std::string unread = std::string("170305142207123\x80\x80") + "\x87s";
  const std::string read = WithReadFlag(unread, true);
  EXPECT_EQ(read, std::string("170305142207123\x81\x80") + "\x87s");
  EXPECT_TRUE(IsRead(read));
  EXPECT_EQ(WithReadFlag(read, true), read);
  EXPECT_EQ(WithReadFlag(read, false), unread);
  EXPECT_EQ(WithReadFlag(unread, false), unread);
  EXPECT_EQ(StampOf(read), StampOf(unread));
  // Other bits of the flag byte are kept.
  EXPECT_EQ(WithReadFlag(std::string("170305142207123\xC2"), false), std::string("170305142207123\xC2"));
  EXPECT_EQ(WithReadFlag(std::string("170305142207123\xC2"), true), std::string("170305142207123\xC3"));
  EXPECT_EQ(WithReadFlag("170305142207123", true), "170305142207123");
  EXPECT_FALSE(IsRead("170305142207123"));
}

TEST(ListKey, ReadingAMessageKeepsItsPlaceInTheNewestFirstOrder) {
  std::vector<std::string> keys = {std::string("170305142207123\x80\x80"), std::string("170305142207124\x80\x80"),
                                   std::string("180101000000000\x80\x80")};
  std::vector<std::string> readKeys;
  for (const std::string& k : keys) readKeys.push_back(WithReadFlag(k, true));
  std::sort(keys.begin(), keys.end(), std::greater<>());
  std::sort(readKeys.begin(), readKeys.end(), std::greater<>());
  for (std::size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(StampOf(keys[i]), StampOf(readKeys[i]));
}

TEST(ListKey, StampsAndTheirDisplayDate) {
  EXPECT_TRUE(IsStamp("170305142207123"));
  for (const char* bad : {"", "17030514220712", "1703051422071234", "17030514220712x", "-70305142207123"}) {
    EXPECT_FALSE(IsStamp(bad)) << bad;
    EXPECT_EQ(StampDisplayDate(bad), "");
  }
  EXPECT_EQ(StampDisplayDate("170305142207123"), "2017-03-05 14:22");
}

}  // namespace
}  // namespace fhr
