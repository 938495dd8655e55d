#include "cli/db_path.h"

#include <vector>

#include "storage/db_key.h"

namespace fhr::cli {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string EscapeDbName(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E || c == '/' || c == '\\') {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> ParseDbPath(const std::string& path, std::string* error) {
  std::string trimmed = path;
  if (trimmed.starts_with('/')) trimmed.erase(0, 1);
  if (trimmed.ends_with('/')) trimmed.pop_back();
  if (trimmed.empty()) return std::string();
  std::vector<std::string> names(1);
  for (std::size_t i = 0; i < trimmed.size(); ++i) {
    const char c = trimmed[i];
    if (c == '/') {
      names.emplace_back();
    } else if (c != '\\') {
      names.back() += c;
    } else if (i + 3 < trimmed.size() && trimmed[i + 1] == 'x' && HexDigit(trimmed[i + 2]) >= 0 &&
               HexDigit(trimmed[i + 3]) >= 0) {
      names.back() += static_cast<char>(HexDigit(trimmed[i + 2]) * 16 + HexDigit(trimmed[i + 3]));
      i += 3;
    } else {
      *error = "in '" + path + "' a \\ must start \\xHH (two hexadecimal digits)";
      return std::nullopt;
    }
  }
  if (names.size() > kDbMaxKeyParts) {
    *error = "'" + path + "' has more than " + std::to_string(kDbMaxKeyParts) + " names";
    return std::nullopt;
  }
  for (const std::string& name : names) {
    if (!IsValidDbName(name)) {
      *error = "'" + path + "' holds an empty name or one with CR, LF, NUL or \\xFF";
      return std::nullopt;
    }
  }
  return DbKey(names);
}

}  // namespace fhr::cli
