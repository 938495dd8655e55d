#pragma once
// TDBfreeList: the free extents of a database file, sorted by start.
#include <cstdint>
#include <vector>

namespace fhr {

class TDBfreeList {
 public:
  std::size_t Count() const { return starts_.size(); }
  int32_t Start(std::size_t i) const { return starts_[i]; }
  int32_t Size(std::size_t i) const { return sizes_[i]; }
  void Clear();

  // First fit in position order: the start of the first extent of at least
  // `size` bytes, which then shrinks by `size` from its front (and goes when
  // nothing is left); -1 when no extent is large enough.
  int32_t Take(int32_t size);

  // Gives back the extent (start, size): it grows the extent that ends at
  // `start` (merging with the next one when they then touch), or else the
  // extent that begins right after it, or else is inserted in order. An
  // extent that overlaps one already free is refused (false, nothing
  // changes): that can only come from a damaged file, and accepting it would
  // later hand out live bytes twice.
  bool Give(int32_t start, int32_t size);

  // Replaces the list by the extents read from a file, checking that they
  // are sorted, do not overlap and lie inside [first, end). False (and an
  // empty list) when they do not.
  bool Assign(std::vector<int32_t> starts, std::vector<int32_t> sizes, int32_t first, int32_t end);

 private:
  std::vector<int32_t> starts_;
  std::vector<int32_t> sizes_;
};

}  // namespace fhr
