#pragma once
// TDBbuffer: the bytes of one record (or folder name text) on their way
// between the caller and the file, with the flags word stored beside them.
#include <cstdint>
#include <string>

namespace fhr {

// Flags of a buffer. Only kDbFolderFlag is ever stored in the file;
// kDbDecompressedFlag marks bytes that have just been inflated.
inline constexpr int32_t kDbFolderFlag = 1;
inline constexpr int32_t kDbDecompressedFlag = 2;

// A byte buffer that wipes its bytes whenever they are released or replaced,
// because it carries mail and secrets. Copying is not allowed, so no stray
// copy escapes the wipe.
class TDBbuffer {
 public:
  TDBbuffer() = default;
  explicit TDBbuffer(std::string bytes) : data_(std::move(bytes)) {}
  ~TDBbuffer();
  TDBbuffer(const TDBbuffer&) = delete;
  TDBbuffer& operator=(const TDBbuffer&) = delete;

  const std::string& Data() const { return data_; }
  int64_t Length() const { return static_cast<int64_t>(data_.size()); }
  int32_t Flags() const { return flags_; }
  void SetFlags(int32_t flags) { flags_ = flags; }

  // Wipes the old bytes and takes `bytes` in their place.
  void Assign(std::string bytes);
  // Wipes the old bytes and holds `n` bytes of the character "0".
  void MakeUnfilled(std::size_t n);
  // Wipes and empties the bytes and clears the flags.
  void Clear();
  // The bytes as text. A folder's name text ends at its NUL, which is not
  // part of the text; a record's bytes are given whole.
  std::string Text() const;

 private:
  std::string data_;
  int32_t flags_ = 0;
};

}  // namespace fhr
