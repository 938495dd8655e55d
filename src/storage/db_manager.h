#pragma once
// TDBmanager: the layout of a database image — header, blocks, free list —
// and checked access to its bytes.
//
// File layout (all integers 32-bit signed little-endian; see
// docs/database_format.md): 9 magic bytes, two blanks, the root cell's
// payload position, the end of data; then blocks, each a 4-byte block size
// followed by its payload; then the free list at the end of data.
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/db_errors.h"
#include "storage/db_free_list.h"

namespace fhr {

inline constexpr std::string_view kDbMagic{"FH\x02\x05\x01\x07\x0C\x19\xD8", 9};
inline constexpr int32_t kDbHeaderSize = 19;
inline constexpr int32_t kDbHeaderPositionsOffset = 11;

class TDBmanager {
 public:
  // Works on `image`, which the caller owns and keeps alive. The manager
  // starts as for a new file: no error, no root cell, end of data 19.
  TDBmanager(std::string& image, std::string fileName);
  TDBmanager(const TDBmanager&) = delete;
  TDBmanager& operator=(const TDBmanager&) = delete;

  // Reads the header and free list of a non-empty image, or writes those of
  // a new one into an empty image. Every value is checked against the
  // image: a root cell or end of data outside it, or a free list that does
  // not fit, sets an error. A wrong magic shows the " FATAL ERROR " box and
  // sets kDbNotADatabase. Returns true when no error is set.
  bool Initialize();

  // The sticky error of the running operation (see db_errors.h).
  int Error() const { return error_; }
  void SetError(int code);
  void ClearError() { error_ = kDbNoError; }
  DbErrorDetail& Detail() { return detail_; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }

  // Checked stream access. Each does nothing and fails once an error is
  // set. A seek to a negative position sets kDbSeekError, a read past the
  // image's end kDbShortRead; a write past the end extends the image.
  bool Seek(int64_t position);
  bool Read(void* data, std::size_t n);
  bool Write(const void* data, std::size_t n);
  bool ReadInt(int32_t* value);
  bool WriteInt(int32_t value);
  bool ReadBytes(std::size_t n, std::string* bytes);

  // The payload size of the block whose payload starts at `position`, after
  // checking that the whole block lies between the header and the end of
  // data and holds at least `minPayload` bytes; -1 with kDbShortRead set
  // when it does not. Every position read from the file goes through here.
  int64_t CheckedPayloadSize(int32_t position, int64_t minPayload);

  // A new block with `payloadSize` bytes of payload: first fit from the
  // free list, else at the end of data. The first block ever allocated
  // becomes the root cell. Returns its payload position; -1 for a size of 0
  // or when an error is set.
  int32_t Allocate(int64_t payloadSize);
  // Wipes the whole payload of the block at `position` and frees it: a
  // block that reaches the end of data moves the end of data back, any
  // other becomes a free extent. Nothing happens for -1 or the root cell.
  void FreeBlock(int32_t position);

  bool SaveHeader();
  bool LoadFreeList();
  bool SaveFreeList();

  int32_t RootCell() const { return rootCell_; }
  int32_t EndOfData() const { return endOfData_; }
  const TDBfreeList& FreeList() const { return freeList_; }

 private:
  std::string& image_;
  std::string fileName_;
  TDBfreeList freeList_;
  int32_t rootCell_ = -1;
  int32_t endOfData_ = kDbHeaderSize;
  int error_ = kDbNoError;
  DbErrorDetail detail_;
  std::size_t position_ = 0;
};

}  // namespace fhr
