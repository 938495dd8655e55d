#include "storage/db_errors.h"

#include "core/msgdialog.h"

namespace fhr {

std::string DbErrorText(int code, const DbErrorDetail& detail) {
  switch (code) {
    case kDbShortWrite: return " Database write error!   ";
    case kDbWriteException: return " Database write exception!   \n " + detail.exceptionText;
    case kDbShortRead: return " Database read error!   ";
    case kDbReadException: return " Database read exception!   \n " + detail.exceptionText;
    case kDbSeekError: return " Database seek error!   ";
    case kDbSeekException: return " Database seek exception!   \n " + detail.exceptionText;
    case kDbInitError: return " Database initialization error!   ";
    case kDbFreeListWriteError: return " Database freelist write error!   ";
    case kDbFreeListReadError: return " Database freelist read error!   ";
    case kDbDecompressionError: return " Database decompression error!   \n " + detail.zlibMessage;
    case kDbCompressionError: return " Database compression error!   \n " + detail.zlibMessage;
    case kDbNotADatabase: return "";
    case kDbBadKey: return " Invalid database key!   ";
    case kDbNameExists: return " Database name already exists!   ";
    default: return " Unknown database error!   ";
  }
}

void ShowDbErrorBox(int code, const DbErrorDetail& detail) {
  if (code == kDbNoError || code == kDbNotADatabase) return;
  MsgBox box = MakeMsgBox(DbErrorText(code, detail), MsgKind::Error, kMbOk);
  box.caption = "DB Error";
  ShowMsgBox(box);
}

void ShowNotADatabaseBox(const std::string& fileName) {
  MsgBox box = MakeMsgBox(" The file '" + fileName + "' isn't a FH database! ", MsgKind::Error, kMbOk);
  box.caption = " FATAL ERROR ";
  ShowMsgBox(box);
}

}  // namespace fhr
