#include "storage/db_manager.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace fhr {
namespace {

constexpr int64_t kMaxPosition = std::numeric_limits<int32_t>::max();

void PutLittleEndian(int32_t value, unsigned char out[4]) {
  const auto u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(u >> (8 * i));
}

int32_t GetLittleEndian(const unsigned char in[4]) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = (u << 8) | in[i];
  return static_cast<int32_t>(u);
}

}  // namespace

TDBmanager::TDBmanager(std::string& image, std::string fileName)
    : image_(image), fileName_(std::move(fileName)) {}

void TDBmanager::SetError(int code) {
  if (error_ == kDbNoError) error_ = code;
}

bool TDBmanager::Seek(int64_t position) {
  if (error_ != kDbNoError) return false;
  // Past the end is allowed, as in a file: a new block's size word is
  // written before its payload, and the free list after that. Reads check
  // the end; writes only happen at positions the allocator handed out.
  if (position < 0 || position > kMaxPosition) {
    SetError(kDbSeekError);
    return false;
  }
  position_ = static_cast<std::size_t>(position);
  return true;
}

bool TDBmanager::Read(void* data, std::size_t n) {
  if (error_ != kDbNoError) return false;
  if (position_ > image_.size() || n > image_.size() - position_) {
    SetError(kDbShortRead);
    return false;
  }
  std::memcpy(data, image_.data() + position_, n);
  position_ += n;
  return true;
}

bool TDBmanager::ReadBytes(std::size_t n, std::string* bytes) {
  if (error_ != kDbNoError) return false;
  if (position_ > image_.size() || n > image_.size() - position_) {
    SetError(kDbShortRead);
    return false;
  }
  bytes->assign(image_, position_, n);
  position_ += n;
  return true;
}

bool TDBmanager::Write(const void* data, std::size_t n) {
  if (error_ != kDbNoError) return false;
  if (static_cast<int64_t>(position_ + n) > kMaxPosition + 1) {
    SetError(kDbShortWrite);
    return false;
  }
  if (position_ + n > image_.size()) image_.resize(position_ + n);
  std::memcpy(image_.data() + position_, data, n);
  position_ += n;
  return true;
}

bool TDBmanager::ReadInt(int32_t* value) {
  unsigned char raw[4];
  if (!Read(raw, 4)) return false;
  *value = GetLittleEndian(raw);
  return true;
}

bool TDBmanager::WriteInt(int32_t value) {
  unsigned char raw[4];
  PutLittleEndian(value, raw);
  return Write(raw, 4);
}

bool TDBmanager::Initialize() {
  error_ = kDbNoError;
  rootCell_ = -1;
  endOfData_ = kDbHeaderSize;
  freeList_.Clear();
  if (image_.empty()) {
    const bool ok = Seek(0) && Write(kDbMagic.data(), kDbMagic.size()) && Write("  ", 2) &&
                    SaveHeader() && SaveFreeList();
    if (!ok) {
      error_ = kDbNoError;
      SetError(kDbFreeListWriteError);
    }
    return ok;
  }
  if (image_.size() < kDbMagic.size() || std::string_view(image_).substr(0, kDbMagic.size()) != kDbMagic) {
    ShowNotADatabaseBox(fileName_);
    SetError(kDbNotADatabase);
    return false;
  }
  int32_t root = 0;
  int32_t end = 0;
  if (!Seek(kDbHeaderPositionsOffset) || !ReadInt(&root) || !ReadInt(&end)) return false;
  // The free list's count must be readable at the end of data.
  if (end < kDbHeaderSize || int64_t{end} + 4 > static_cast<int64_t>(image_.size())) {
    SetError(kDbFreeListReadError);
    return false;
  }
  endOfData_ = end;
  if (root != -1 && (root < kDbHeaderSize + 4 || int64_t{root} + 4 > end)) {
    SetError(kDbShortRead);
    return false;
  }
  rootCell_ = root;
  return LoadFreeList();
}

bool TDBmanager::SaveHeader() {
  return Seek(kDbHeaderPositionsOffset) && WriteInt(rootCell_) && WriteInt(endOfData_);
}

bool TDBmanager::LoadFreeList() {
  int32_t count = 0;
  const bool countRead = Seek(endOfData_) && ReadInt(&count);
  const int64_t room = static_cast<int64_t>(image_.size()) - endOfData_ - 4;
  if (!countRead || count < 0 || int64_t{count} * 8 > room) {
    error_ = kDbNoError;
    SetError(kDbFreeListReadError);
    return false;
  }
  std::vector<int32_t> starts(static_cast<std::size_t>(count));
  std::vector<int32_t> sizes(static_cast<std::size_t>(count));
  for (int32_t& s : starts) ReadInt(&s);
  for (int32_t& s : sizes) ReadInt(&s);
  if (error_ != kDbNoError ||
      !freeList_.Assign(std::move(starts), std::move(sizes), kDbHeaderSize, endOfData_)) {
    error_ = kDbNoError;
    SetError(kDbFreeListReadError);
    return false;
  }
  return true;
}

bool TDBmanager::SaveFreeList() {
  if (error_ != kDbNoError) return false;
  const std::size_t count = freeList_.Count();
  std::string bytes((1 + 2 * count) * 4, '\0');
  auto* out = reinterpret_cast<unsigned char*>(bytes.data());
  PutLittleEndian(static_cast<int32_t>(count), out);
  for (std::size_t i = 0; i < count; ++i) {
    PutLittleEndian(freeList_.Start(i), out + 4 * (1 + i));
    PutLittleEndian(freeList_.Size(i), out + 4 * (1 + count + i));
  }
  if (Seek(endOfData_) && Write(bytes.data(), bytes.size())) return true;
  error_ = kDbNoError;
  SetError(kDbFreeListWriteError);
  return false;
}

int64_t TDBmanager::CheckedPayloadSize(int32_t position, int64_t minPayload) {
  if (error_ != kDbNoError) return -1;
  int32_t blockSize = 0;
  if (position < kDbHeaderSize + 4 || position > endOfData_ || !Seek(int64_t{position} - 4) ||
      !ReadInt(&blockSize) || blockSize < 4 + minPayload ||
      int64_t{position} - 4 + blockSize > endOfData_) {
    error_ = kDbNoError;
    SetError(kDbShortRead);
    return -1;
  }
  return blockSize - 4;
}

int32_t TDBmanager::Allocate(int64_t payloadSize) {
  if (payloadSize <= 0 || error_ != kDbNoError) return -1;
  const int64_t blockSize = payloadSize + 4;
  if (blockSize > kMaxPosition) {
    SetError(kDbShortWrite);
    return -1;
  }
  int32_t start = freeList_.Take(static_cast<int32_t>(blockSize));
  if (start < 0) {
    // The free list is written after the new end of data, so that must fit too.
    if (endOfData_ + blockSize + 4 + 8 * int64_t(freeList_.Count()) > kMaxPosition) {
      SetError(kDbShortWrite);
      return -1;
    }
    start = endOfData_;
    endOfData_ = static_cast<int32_t>(endOfData_ + blockSize);
    if (!Seek(start) || !WriteInt(static_cast<int32_t>(blockSize)) || !SaveHeader()) return -1;
  } else if (!Seek(start) || !WriteInt(static_cast<int32_t>(blockSize))) {
    return -1;
  }
  if (rootCell_ == -1) {
    rootCell_ = start + 4;
    if (!SaveHeader()) return -1;
  }
  if (!SaveFreeList()) return -1;
  return start + 4;
}

void TDBmanager::FreeBlock(int32_t position) {
  if (position == -1 || position == rootCell_ || error_ != kDbNoError) return;
  const int64_t payload = CheckedPayloadSize(position, 0);
  if (payload < 0) return;
  // The flags and length words become 0, every other payload byte "0", so
  // no deleted mail stays readable in the file.
  const std::size_t words = static_cast<std::size_t>(std::min<int64_t>(payload, 8));
  const std::string wipe = std::string(words, '\0') + std::string(static_cast<std::size_t>(payload) - words, '0');
  if (!Seek(position) || !Write(wipe.data(), wipe.size())) return;
  const int32_t blockStart = position - 4;
  const int32_t blockSize = static_cast<int32_t>(payload + 4);
  if (int64_t{blockStart} + blockSize >= endOfData_) {
    endOfData_ = blockStart;
    if (!SaveHeader()) return;
  } else if (!freeList_.Give(blockStart, blockSize)) {
    // Overlaps a free extent: a damaged file. The block stays allocated.
    SetError(kDbShortRead);
    return;
  }
  SaveFreeList();
}

}  // namespace fhr
