// Any bytes read as comma text give a list whose comma text reads back as
// the same list.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/stringlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fhr::StringList list;
  list.SetCommaText(std::string(reinterpret_cast<const char*>(data), size));
  const std::string written = list.CommaText();
  fhr::StringList again;
  again.SetCommaText(written);
  if (!(again == list)) {
    std::fprintf(stderr, "comma text round trip changed %zu lines into %zu\n", list.size(), again.size());
    std::abort();
  }
  // Writing is stable once read back.
  if (again.CommaText() != written) std::abort();
  return 0;
}
