#include "core/font_string.h"

#include <vector>

#include "core/integer_text.h"

namespace fhr {
namespace {

// Sizes beyond this are typing errors that would make a window unusable.
constexpr int kLargestFontSize = 1000;

std::vector<std::string_view> SplitAtCommas(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const auto comma = text.find(',');
    fields.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool HasLetter(std::string_view style, char lower) {
  for (char c : style) {
    if (c == lower || c == lower - 'a' + 'A') return true;
  }
  return false;
}

}  // namespace

FontSpec ParseFontString(std::string_view text) {
  FontSpec font;
  const auto fields = SplitAtCommas(text);
  const auto field = [&](std::size_t i) {
    return i < fields.size() ? TrimBlanks(fields[i]) : std::string_view();
  };
  if (!field(0).empty()) font.face = field(0);
  if (const auto size = ParseInteger(field(1)); size && *size >= 1 && *size <= kLargestFontSize) {
    font.size = *size;
  }
  const std::string_view style = field(2);
  font.italic = HasLetter(style, 'i');
  font.bold = HasLetter(style, 'b');
  font.underline = HasLetter(style, 'u');
  font.strikeout = HasLetter(style, 's');
  font.color = ParseInteger(field(3)).value_or(0);
  return font;
}

std::string FontString(const FontSpec& font) {
  std::string style;
  if (font.italic) style += 'i';
  if (font.bold) style += 'b';
  if (font.underline) style += 'u';
  if (font.strikeout) style += 's';
  if (style.empty()) style = "r";
  return font.face + "," + std::to_string(font.size) + "," + style + "," +
         std::to_string(font.color);
}

}  // namespace fhr
