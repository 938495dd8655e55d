#pragma once
// The database engine's error codes and the texts the user sees for them.
// An engine operation keeps the first failure as a sticky code: every later
// step of the same operation does nothing, and the operation ends by showing
// the code's text.
#include <string>

namespace fhr {

enum DbErrorCode : int {
  kDbNoError = 0,
  kDbShortWrite = 1,
  kDbWriteException = 2,
  kDbShortRead = 3,  // also every value read from the file that does not fit the image
  kDbReadException = 4,
  kDbSeekError = 5,
  kDbSeekException = 6,
  kDbInitError = 7,
  kDbFreeListWriteError = 8,
  kDbFreeListReadError = 9,
  kDbDecompressionError = 10,
  kDbCompressionError = 11,
  kDbNotADatabase = 12,
  kDbBadKey = 13,       // a name with CR, LF or NUL, a key deeper than 16 parts, a record used as a folder
  kDbNameExists = 15,   // a rename onto a name the folder already has
};

// What goes with a code: zlib's message for codes 10 and 11, the exception
// text for 2, 4 and 6.
struct DbErrorDetail {
  std::string zlibMessage;
  int zlibCode = 0;
  std::string exceptionText;
};

// The text of the "DB Error" box for `code`; empty for code 12, whose own box
// was shown when the file was refused.
std::string DbErrorText(int code, const DbErrorDetail& detail);

// Shows the "DB Error" box for `code` (nothing for 0 and 12).
void ShowDbErrorBox(int code, const DbErrorDetail& detail);

// Shows the box that refuses a file which is not a database.
void ShowNotADatabaseBox(const std::string& fileName);

}  // namespace fhr
