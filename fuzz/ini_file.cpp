// Arbitrary bytes as a settings file: parsing must keep them byte for byte,
// look-ups and changes must never crash, and a change must read back as
// written while leaving every other section's values alone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/font_string.h"
#include "core/ini_document.h"
#include "core/integer_text.h"
#include "core/placement.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  fhr::IniDocument doc = fhr::IniDocument::Parse(bytes);
  Check(doc.Serialize() == bytes);

  for (const auto& section : doc.Sections()) {
    for (const auto& line : doc.ReadSection(section)) {
      const auto value = std::string_view(line).substr(line.find('=') + 1);
      Check(value.size() <= fhr::kIniValueLimit);
      fhr::ParseInteger(value);
      fhr::ParseFontString(value);
      fhr::ParseMainPlacement(value);
    }
  }

  const auto gpg_before = doc.ReadSection("gpg");
  // The first line of the input doubles as a name, so odd names get tried.
  const std::string_view odd_name = bytes.substr(0, bytes.find('\n'));
  const bool odd_written = doc.Write("settings", odd_name, "7");
  Check(doc.Write("settings", "checkmailmins", " 60 "));
  doc.Erase("settings", "usetray");

  const fhr::IniDocument reread = fhr::IniDocument::Parse(doc.Serialize());
  Check(reread.Read("SETTINGS", "CheckMailMins") == "60");
  if (odd_written && !fhr::EqualsIgnoringAsciiCase(odd_name, "checkmailmins")) {
    Check(reread.Read("settings", odd_name) == "7");
  }
  Check(!reread.Read("settings", "usetray"));
  Check(reread.ReadSection("gpg") == gpg_before);
  return 0;
}
