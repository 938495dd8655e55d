#include "storage/db_buffer.h"

#include "core/text_helpers.h"

namespace fhr {

TDBbuffer::~TDBbuffer() { WipeText(data_); }

void TDBbuffer::Assign(std::string bytes) {
  WipeText(data_);
  data_ = std::move(bytes);
}

void TDBbuffer::MakeUnfilled(std::size_t n) { Assign(std::string(n, '0')); }

void TDBbuffer::Clear() {
  WipeText(data_);
  flags_ = 0;
}

std::string TDBbuffer::Text() const {
  if ((flags_ & kDbFolderFlag) == 0) return data_;
  return data_.substr(0, data_.find('\0'));
}

}  // namespace fhr
