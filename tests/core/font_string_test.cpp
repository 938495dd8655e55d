#include "core/font_string.h"

#include <gtest/gtest.h>

namespace fhr {
namespace {

FontSpec Font(std::string face, int size, std::string_view style, int color = 0) {
  FontSpec f;
  f.face = std::move(face);
  f.size = size;
  f.italic = style.find('i') != std::string_view::npos;
  f.bold = style.find('b') != std::string_view::npos;
  f.underline = style.find('u') != std::string_view::npos;
  f.strikeout = style.find('s') != std::string_view::npos;
  f.color = color;
  return f;
}

TEST(FontString, ParsesFieldsWithTheirDefaults) {
  const std::pair<std::string_view, FontSpec> cases[] = {
      {"Verdana,,b,", Font("Verdana", 8, "b")},
      {"Tahoma,10,r,0", Font("Tahoma", 10, "")},
      {"Arial,12,BI,0", Font("Arial", 12, "ib")},
      {"Arial,12,ib,0", Font("Arial", 12, "ib")},
      {"Arial,12,usbi,255", Font("Arial", 12, "ibus", 255)},
      {"Arial,12,bold,-16777208", Font("Arial", 12, "b", -16777208)},
      {"", Font("ms sans serif", 8, "")},
      {"Courier New", Font("Courier New", 8, "")},
      {",0,,x", Font("ms sans serif", 8, "")},
      {"Big,100000,r,0", Font("Big", 8, "")},
      {"Wide,-10,r,0", Font("Wide", 8, "")},
      {" Tahoma , 9 ,r, 0 ,extra", Font("Tahoma", 9, "")},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ParseFontString(text), expected) << text;
  }
}

TEST(FontString, WritesStyleLettersInFixedOrder) {
  const std::pair<FontSpec, std::string_view> cases[] = {
      {Font("Arial", 12, "bi"), "Arial,12,ib,0"},
      {Font("Tahoma", 10, ""), "Tahoma,10,r,0"},
      {Font("Mono", 9, "subi", 255), "Mono,9,ibus,255"},
      {Font("Mono", 9, "su", -1), "Mono,9,us,-1"},
  };
  for (const auto& [font, expected] : cases) {
    EXPECT_EQ(FontString(font), expected);
    EXPECT_EQ(ParseFontString(FontString(font)), font) << expected;
  }
}

}  // namespace
}  // namespace fhr
