#pragma once
// The message list key: the name under which a stored message lives in the
// inbox and by which the message list orders and finds it. It is eight fields
// separated by the byte 0x87:
//   1 arrival stamp "yymmddhhnnsszzz" (local time to the millisecond), two
//     flag bytes (0x80 each when made; bit 0 of the first is the read flag),
//     then the article's "Message-No:" value
//   2 normalised subject   3 text length in bytes   4 "From:" value
//   5 article number       6 the matched subject line's subject
//   7 its number (subno)   8 the nym
// The first 15 bytes identify the message for its whole life; renames (the
// read flag) keep them. Keys compare as byte strings, newest first.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace fhr {

inline constexpr char kKeySeparator = '\x87';
inline constexpr std::size_t kStampLength = 15;
// Stamp, two flag bytes: the shortest text that is a key's first field.
inline constexpr std::size_t kStampAndFlagsLength = kStampLength + 2;

// The current time; tests give a fixed or stepping one.
using Clock = std::function<std::chrono::system_clock::time_point()>;
std::chrono::system_clock::time_point SystemClock();

// Whether an arrival stamp already names a stored message.
using StampInUse = std::function<bool(const std::string& stamp)>;

// `t` in local time as "yymmddhhnnsszzz" (two-digit year, hours 00-23,
// milliseconds).
std::string FormatStamp(std::chrono::system_clock::time_point t);

// The stamp of `t`, moved on one millisecond at a time until `inUse` no
// longer reports it taken, so two messages never share a stamp. An empty
// `inUse` takes every stamp as free. `inUse` must report finitely many
// stamps as taken.
std::string FreeStamp(std::chrono::system_clock::time_point t, const StampInUse& inUse);

// `value` made safe as one field of a key (and so of a record name): CR, LF,
// NUL, 0x87 and 0xFF become blanks, except that a UTF-8 character whose
// encoding holds 0x87 becomes U+FFFD as a whole, so the rest of a UTF-8
// field stays readable.
std::string MakeKeyField(const std::string& value);

// Appends fields 5 to 8 to the first four (TMsgManager::MakeListKey), each
// cleaned by MakeKeyField and preceded by the separator.
std::string CompleteListKey(const std::string& firstFields, long long articleNumber, const std::string& subject,
                            const std::string& subno, const std::string& nym);

// A key split into its parts. Reading never fails: a short key or missing
// fields read as empty, so keys from a damaged file can still be listed.
struct ListKeyFields {
  std::string stamp;  // the first 15 bytes (fewer when the key is shorter)
  bool read = false;
  std::string messageNo;
  std::string subject;
  std::string textLength;
  std::string from;
  std::string articleNumber;
  std::string subjectLine;
  std::string subno;
  std::string nym;
};
ListKeyFields ParseListKey(const std::string& key);

// The key's arrival stamp: its first 15 bytes.
std::string StampOf(const std::string& key);

// Whether a text has the form of an arrival stamp: 15 decimal digits.
bool IsStamp(const std::string& text);

// Bit 0 of the key's 16th byte; false for a key too short to hold it.
bool IsRead(const std::string& key);

// The key with its read flag set or cleared; a key too short to hold the
// flag byte is returned unchanged.
std::string WithReadFlag(const std::string& key, bool read);

// "20yy-mm-dd hh:nn" from a stamp's first ten digits, as the message list
// shows the arrival time; "" when the stamp is not IsStamp.
std::string StampDisplayDate(const std::string& stamp);

}  // namespace fhr
