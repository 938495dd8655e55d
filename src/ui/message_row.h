#pragma once
// What the message list shows for one stored message: the read mark and the
// Date, From, Subject and Size columns, made from the message's list key and
// its lines.
#include <string>

#include "core/stringlist.h"

namespace fhr {

struct MessageRow {
  bool read = false;    // bit 0 of the key's flag byte
  std::string date;     // "20yy-mm-dd hh:nn" from the arrival stamp
  std::string from;     // field 4 of the key
  std::string subject;  // see MakeMessageRow
  std::string size;     // SizeText of field 3
};

// A text length in bytes as the Size column shows it: whole kilobytes of
// 1000 bytes, rounded up when the rest exceeds 500 and never below 1, a
// single comma before the last three digits of a number of four digits or
// more, then " KB" ("1 KB", "2 KB", "1,000 KB", "1234,567 KB"). A length
// that is not a decimal number counts as 0.
std::string SizeText(const std::string& textLength);

// The row of a message. The subject is the matched subject line's subject
// (field 6), else the message's subject tag; a message that holds no
// "-----BEGIN PGP MESSAGE-----" line gets ":  " and its subject appended; a
// subject still empty takes the subject tag. Taking the tag deletes its
// "Hash-Subject:" or "Encrypt-Subject:" header from `lines`.
MessageRow MakeMessageRow(const std::string& key, StringList& lines);

}  // namespace fhr
