#include "storage/db_free_list.h"

#include <algorithm>

namespace fhr {

void TDBfreeList::Clear() {
  starts_.clear();
  sizes_.clear();
}

int32_t TDBfreeList::Take(int32_t size) {
  for (std::size_t i = 0; i < starts_.size(); ++i) {
    if (sizes_[i] < size) continue;
    const int32_t start = starts_[i];
    if (sizes_[i] == size) {
      starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(i));
      sizes_.erase(sizes_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      starts_[i] += size;
      sizes_[i] -= size;
    }
    return start;
  }
  return -1;
}

bool TDBfreeList::Give(int32_t start, int32_t size) {
  const int64_t end = int64_t{start} + size;
  // The first extent that starts after `start`; the one before it is the
  // only one that can end at or before it.
  const auto next = std::upper_bound(starts_.begin(), starts_.end(), start);
  const std::size_t n = static_cast<std::size_t>(next - starts_.begin());
  const bool hasPrev = n > 0;
  const bool hasNext = n < starts_.size();
  if (hasPrev && int64_t{starts_[n - 1]} + sizes_[n - 1] > start) return false;
  if (hasNext && starts_[n] < end) return false;
  if (hasPrev && int64_t{starts_[n - 1]} + sizes_[n - 1] == start) {
    sizes_[n - 1] += size;
    if (hasNext && starts_[n] == end) {
      sizes_[n - 1] += sizes_[n];
      starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(n));
      sizes_.erase(sizes_.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return true;
  }
  if (hasNext && starts_[n] == end) {
    starts_[n] = start;
    sizes_[n] += size;
    return true;
  }
  starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(n), start);
  sizes_.insert(sizes_.begin() + static_cast<std::ptrdiff_t>(n), size);
  return true;
}

bool TDBfreeList::Assign(std::vector<int32_t> starts, std::vector<int32_t> sizes, int32_t first, int32_t end) {
  Clear();
  if (starts.size() != sizes.size()) return false;
  int64_t previousEnd = first;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const int64_t extentEnd = int64_t{starts[i]} + sizes[i];
    if (starts[i] < previousEnd || sizes[i] <= 0 || extentEnd > end) return false;
    previousEnd = extentEnd;
  }
  starts_ = std::move(starts);
  sizes_ = std::move(sizes);
  return true;
}

}  // namespace fhr
