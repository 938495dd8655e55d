#include "core/text_helpers.h"

#include <charconv>
#include <cerrno>
#include <cstring>
#include <string.h>  // explicit_bzero

namespace fhr {

std::string FieldOf(int n, const std::string& text, char separator, const std::string& fallback) {
  if (n < 0) return fallback;
  std::size_t start = 0;
  for (int i = 0; i < n; ++i) {
    const auto next = text.find(separator, start);
    if (next == std::string::npos) return fallback;
    start = next + 1;
  }
  const auto stop = text.find(separator, start);
  std::string field = text.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
  return field.empty() ? fallback : field;
}

std::string ReplaceField(int n, const std::string& text, char separator, const std::string& replacement) {
  if (n < 0) return text;
  std::size_t start = 0;
  for (int i = 0; i < n; ++i) {
    const auto next = text.find(separator, start);
    if (next == std::string::npos) return text;
    start = next + 1;
  }
  // Reaching the end here means the text is empty or ends with the separator
  // that closed the last field: field n does not exist.
  if (start >= text.size()) return text;
  auto stop = text.find(separator, start);
  if (stop == std::string::npos) stop = text.size();
  return text.substr(0, start) + replacement + text.substr(stop);
}

std::string ValueOf(const StringList& list, const std::string& name, const std::string& fallback) {
  std::string value = list.Value(name);
  return value.empty() ? fallback : value;
}

int IntValueOf(const StringList& list, const std::string& name, int fallback) {
  const std::string value = list.Value(name);
  const char* first = value.data();
  const char* last = first + value.size();
  if (first != last && *first == '+') ++first;  // from_chars takes "-" but not "+"
  int result = 0;
  const auto [end, error] = std::from_chars(first, last, result);
  if (error != std::errc() || end != last || first == last) return fallback;
  return result;
}

bool FlagValueOf(const StringList& list, const std::string& name, bool fallback) {
  const std::string value = list.Value(name);
  return value.empty() ? fallback : value == "1";
}

bool IsBlankLine(const std::string& line) {
  for (char c : line) {
    if (static_cast<unsigned char>(c) > 0x20) return false;
  }
  return true;
}

void TrimLeadingBlankLines(StringList& list) {
  while (!list.empty() && IsBlankLine(list[0])) list.Delete(0);
}

void TrimTrailingBlankLines(StringList& list) {
  while (!list.empty() && IsBlankLine(list[list.size() - 1])) list.Delete(list.size() - 1);
}

void TrimBlankLines(StringList& list) {
  TrimLeadingBlankLines(list);
  TrimTrailingBlankLines(list);
}

void SecureWipe(void* data, std::size_t size) {
  if (data != nullptr && size > 0) explicit_bzero(data, size);
}

void WipeText(std::string& text) {
  // Growing to the capacity never reallocates, and brings bytes left over
  // from a longer earlier content into range of the wipe.
  text.resize(text.capacity());
  SecureWipe(text.data(), text.size());
  text.clear();
}

namespace {

// strerror_r comes in two flavours (GNU returns the text, XSI fills the
// buffer); these overloads take whichever the C library declares.
[[maybe_unused]] const char* StrerrorResult(const char* gnu_result, const char*) { return gnu_result; }
[[maybe_unused]] const char* StrerrorResult(int xsi_result, const char* buffer) {
  return xsi_result == 0 ? buffer : "Unknown error";
}

}  // namespace

std::string SystemErrorText(int err) {
  char buffer[256] = {};
  return StrerrorResult(strerror_r(err, buffer, sizeof buffer), buffer);
}

std::string SystemErrorText() { return SystemErrorText(errno); }

}  // namespace fhr
