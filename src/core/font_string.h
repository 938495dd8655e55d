#pragma once
// Fonts stored as text: "Face,Size,Style,Colour", for example
// "Tahoma,10,r,0" or "Arial,12,ib,0".
#include <string>
#include <string_view>

namespace fhr {

// A font as the settings describe it. `color` is a colour value 0x00BBGGRR
// (so 255 is red, 0 black) in a signed 32-bit integer.
struct FontSpec {
  std::string face = "ms sans serif";
  int size = 8;  // points
  bool italic = false;
  bool bold = false;
  bool underline = false;
  bool strikeout = false;
  int color = 0;

  bool operator==(const FontSpec&) const = default;
};

// The font a font string describes. Fields are separated by commas; an
// empty or missing field takes the default of FontSpec (face
// "ms sans serif", 8 points, regular, black), as does a size that is not a
// number from 1 to 1000 and a colour that is not a number. The style is
// exactly the set of the letters "i", "b", "u" and "s" found anywhere in the
// third field, in either case ("BI" and "ib" are both bold italic, "r" is
// regular). Fields after the fourth are ignored.
FontSpec ParseFontString(std::string_view text);

// The font string of `font`: face, size, the style letters present in the
// order "i", "b", "u", "s" (or "r" for none), colour, joined by commas.
std::string FontString(const FontSpec& font);

}  // namespace fhr
