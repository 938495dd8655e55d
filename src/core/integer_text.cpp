#include "core/integer_text.h"

#include <charconv>
#include <cstdint>

namespace fhr {

std::optional<int> ParseInteger(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);

  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  // from_chars would take a second sign; only digits may follow here.
  if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;

  std::uint32_t magnitude = 0;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, magnitude, base);
  if (error != std::errc() || end != last) return std::nullopt;

  if (base == 16) {
    // C++20 converts out-of-range unsigned values modulo 2^32.
    return static_cast<int>(negative ? 0u - magnitude : magnitude);
  }
  const std::int64_t value = negative ? -static_cast<std::int64_t>(magnitude) : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace fhr
