#pragma once
// Randomness for anything secret or linkable, straight from the operating
// system.
#include <cstddef>

namespace fhr {

// Fills `size` bytes at `data` from getrandom. Returns false only when the
// operating system cannot give randomness (the bytes are then unspecified).
bool FillRandomBytes(void* data, std::size_t size);

}  // namespace fhr
