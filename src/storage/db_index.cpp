#include "storage/db_index.h"

#include <cstring>

#include "core/stringlist.h"
#include "storage/db_compression.h"
#include "storage/db_key.h"

namespace fhr {
namespace {

std::string Folded(const std::string& name) {
  std::string key = name;
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

void AppendInt(std::string& out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

// Reads the flags and length words of the block at `position` and its
// stored bytes, checking that they fit the block. `extra` is the room the
// caller needs after the stored bytes (a folder's child positions).
bool ReadBlockHead(TDBmanager& m, int32_t position, int32_t* flags, std::string* stored, int64_t* room) {
  const int64_t payload = m.CheckedPayloadSize(position, 8);
  int32_t length = 0;
  if (payload < 0 || !m.Seek(position) || !m.ReadInt(flags) || !m.ReadInt(&length)) return false;
  if (length < 0 || 8 + int64_t{length} > payload) {
    m.SetError(kDbShortRead);
    return false;
  }
  if (!m.ReadBytes(static_cast<std::size_t>(length), stored)) return false;
  *room = payload - 8 - length;
  return true;
}

}  // namespace

TDBindex::TDBindex(TDBmanager& manager, TDBindex* parent, std::string name)
    : manager_(manager), parent_(parent), name_(std::move(name)) {
  Load();
}

void TDBindex::Load() {
  if (parent_ != nullptr) {
    block_ = parent_->Lookup(name_);
  } else if (manager_.RootCell() == -1) {
    block_ = -1;
    const int32_t cell = manager_.Allocate(4);
    if (cell < 0 || !manager_.Seek(cell) || !manager_.WriteInt(-1)) return;
  } else if (!manager_.Seek(manager_.RootCell()) || !manager_.ReadInt(&block_)) {
    return;
  }
  if (block_ == -1) {
    loaded_ = manager_.Error() == kDbNoError;
    return;
  }
  int32_t flags = 0;
  std::string stored;
  int64_t room = 0;
  if (!ReadBlockHead(manager_, block_, &flags, &stored, &room)) return;
  if ((flags & kDbFolderFlag) == 0) {
    manager_.SetError(kDbBadKey);
    return;
  }
  TDBbuffer text;
  if (!DbDecompress(stored, text, manager_.Detail())) {
    manager_.SetError(kDbDecompressionError);
    return;
  }
  text.SetFlags(kDbFolderFlag);
  StringList names;
  names.SetText(text.Text());
  if (static_cast<int64_t>(names.size()) * 4 > room) {
    manager_.SetError(kDbShortRead);
    return;
  }
  std::string raw;
  if (!manager_.ReadBytes(names.size() * 4, &raw)) return;
  for (std::size_t i = 0; i < names.size(); ++i) {
    uint32_t u = 0;
    for (int b = 3; b >= 0; --b) u = (u << 8) | static_cast<unsigned char>(raw[4 * i + static_cast<std::size_t>(b)]);
    AddName(names[i], static_cast<int32_t>(u));
  }
  loaded_ = true;
}

void TDBindex::AddName(std::string name, int32_t position) {
  lookup_.try_emplace(Folded(name), names_.size());
  names_.push_back(std::move(name));
  positions_.push_back(position);
}

void TDBindex::ShiftLookupAfter(std::size_t i) {
  for (auto& entry : lookup_) {
    if (entry.second > i) --entry.second;
  }
}

void TDBindex::RemoveAt(std::size_t i) {
  const std::string key = Folded(names_[i]);
  names_.erase(names_.begin() + static_cast<std::ptrdiff_t>(i));
  positions_.erase(positions_.begin() + static_cast<std::ptrdiff_t>(i));
  const bool wasFirst = lookup_[key] == i;
  ShiftLookupAfter(i);
  if (!wasFirst) return;
  lookup_.erase(key);
  // A damaged file may hold the name twice; the next one now counts.
  for (std::size_t j = i; j < names_.size(); ++j) {
    if (Folded(names_[j]) == key) {
      lookup_[key] = j;
      break;
    }
  }
}

int TDBindex::IndexOf(const std::string& name) const {
  const auto it = lookup_.find(Folded(name));
  return it == lookup_.end() ? -1 : static_cast<int>(it->second);
}

int32_t TDBindex::Lookup(const std::string& name) const {
  const int i = IndexOf(name);
  return i < 0 ? -1 : positions_[static_cast<std::size_t>(i)];
}

int32_t TDBindex::StoredLength(const std::string& name) {
  const int32_t position = Lookup(name);
  int32_t length = 0;
  if (position == -1 || manager_.CheckedPayloadSize(position, 8) < 0 || !manager_.Seek(int64_t{position} + 4) ||
      !manager_.ReadInt(&length)) {
    return 0;
  }
  if (length < 0) {
    manager_.SetError(kDbShortRead);
    return 0;
  }
  return length;
}

bool TDBindex::IsFolder(std::size_t i) {
  const int32_t position = positions_[i];
  if (position == -1) return true;
  int32_t flags = 0;
  if (manager_.CheckedPayloadSize(position, 8) < 0 || !manager_.Seek(position) || !manager_.ReadInt(&flags)) {
    return false;
  }
  return (flags & kDbFolderFlag) != 0;
}

void TDBindex::ReadRecord(const std::string& name, TDBbuffer& buffer) {
  const int32_t position = Lookup(name);
  if (position == -1) return;
  buffer.Clear();
  int32_t flags = 0;
  std::string stored;
  int64_t room = 0;
  if (!ReadBlockHead(manager_, position, &flags, &stored, &room)) return;
  if (!DbDecompress(stored, buffer, manager_.Detail())) {
    manager_.SetError(kDbDecompressionError);
    return;
  }
  buffer.SetFlags((flags & kDbFolderFlag) | kDbDecompressedFlag);
}

void TDBindex::WriteRecord(const std::string& name, const TDBbuffer* buffer, bool store) {
  if (manager_.Error() != kDbNoError) return;
  if (!IsValidDbName(name)) {
    manager_.SetError(kDbBadKey);
    return;
  }
  // Compressed before the old block is freed, so a failure loses nothing;
  // the blocks are freed and allocated in the same order either way.
  std::string stored;
  if (buffer != nullptr && !DbCompress(buffer->Data(), &stored, manager_.Detail())) {
    manager_.SetError(kDbCompressionError);
    return;
  }
  int found = IndexOf(name);
  if (found < 0 && buffer != nullptr) {
    AddName(name, -1);
    found = static_cast<int>(names_.size() - 1);
  }
  if (found >= 0) {
    const auto i = static_cast<std::size_t>(found);
    manager_.FreeBlock(positions_[i]);
    if (manager_.Error() != kDbNoError) return;
    positions_[i] = -1;
    if (buffer == nullptr) {
      RemoveAt(i);
    } else {
      std::string block;
      block.reserve(8 + stored.size());
      AppendInt(block, 0);
      AppendInt(block, static_cast<int32_t>(stored.size()));
      block += stored;
      const int32_t position = manager_.Allocate(static_cast<int64_t>(block.size()));
      if (position < 0 || !manager_.Seek(position) || !manager_.Write(block.data(), block.size())) return;
      positions_[i] = position;
    }
  }
  if (store) Store();
}

void TDBindex::RenameChild(const std::string& name, const std::string& newName, bool store) {
  if (manager_.Error() != kDbNoError) return;
  const int found = IndexOf(name);
  if (found < 0 || !IsValidDbName(newName)) {
    manager_.SetError(kDbBadKey);
    return;
  }
  const int other = IndexOf(newName);
  if (other >= 0 && other != found) {
    manager_.SetError(kDbNameExists);
    return;
  }
  const auto i = static_cast<std::size_t>(found);
  const std::string oldKey = Folded(names_[i]);
  names_[i] = newName;
  if (oldKey != Folded(newName)) {
    lookup_.erase(oldKey);
    for (std::size_t j = i + 1; j < names_.size(); ++j) {
      if (Folded(names_[j]) == oldKey) {
        lookup_[oldKey] = j;
        break;
      }
    }
    lookup_[Folded(newName)] = i;
  }
  if (store) Store();
}

void TDBindex::SetChild(const std::string& name, int32_t position) {
  const int i = IndexOf(name);
  if (i < 0) {
    AddName(name, position);
  } else {
    positions_[static_cast<std::size_t>(i)] = position;
  }
}

void TDBindex::MarkPending() {
  for (TDBindex* f = this; f != nullptr; f = f->parent_) f->pending_ = true;
}

void TDBindex::Store() {
  if (manager_.Error() != kDbNoError) return;
  if (!loaded_) {
    manager_.SetError(kDbShortRead);
    return;
  }
  std::string text;
  for (const std::string& name : names_) text += name + "\r\n";
  text += '\0';
  std::string stored;
  const bool compressed = DbCompress(text, &stored, manager_.Detail());
  if (!compressed) {
    manager_.SetError(kDbCompressionError);
    return;
  }
  manager_.FreeBlock(block_);
  if (manager_.Error() != kDbNoError) return;
  block_ = -1;
  std::string block;
  block.reserve(8 + stored.size() + 4 * positions_.size());
  AppendInt(block, kDbFolderFlag);
  AppendInt(block, static_cast<int32_t>(stored.size()));
  block += stored;
  for (int32_t position : positions_) AppendInt(block, position);
  const int32_t position = manager_.Allocate(static_cast<int64_t>(block.size()));
  if (position < 0 || !manager_.Seek(position) || !manager_.Write(block.data(), block.size())) return;
  block_ = position;
  pending_ = false;
  if (parent_ != nullptr) {
    parent_->SetChild(name_, position);
    parent_->Store();
  } else if (manager_.Seek(manager_.RootCell())) {
    manager_.WriteInt(position);
  }
}

}  // namespace fhr
