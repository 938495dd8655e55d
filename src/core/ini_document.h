#pragma once
// The text of an INI file held in memory: sections "[name]" of name=value
// lines, looked up the way INI readers do, and changed without disturbing
// anything else in the text.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fhr {

// Longest value a read returns; longer values are cut to this many bytes, as
// the INI readers that wrote such files do.
inline constexpr std::size_t kIniValueLimit = 2047;

// Whether `a` and `b` are the same section or name: equal but for the letter
// case of ASCII letters.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// An INI text as a list of lines, each kept byte for byte with its own line
// end (LF or CR LF). Sections and names are compared without regard to ASCII
// letter case; blanks around section names, names and values are ignored.
// Lines whose first non-blank byte is ";" or "#" are comments; lines before
// the first section, lines without "=" and comments are kept untouched and
// in place by every change. A section name may occur more than once: its
// lines are then looked up in file order, the first matching name winning.
class IniDocument {
 public:
  // Splits `bytes` into lines. Never fails: any bytes form some document.
  static IniDocument Parse(std::string_view bytes);

  // The document's text; Parse(t).Serialize() == t for every t.
  std::string Serialize() const;

  // The trimmed value of the first line `name` of `section`, or nothing.
  std::optional<std::string> Read(std::string_view section, std::string_view name) const;

  // Sets the first line `name` of `section` to `value`, keeping the line's
  // text up to the value. A new name goes after the last non-blank line of
  // the section's first occurrence; a new section goes at the end. Returns
  // false and changes nothing when the result could not be read back as
  // written: an empty name, a name with "=" or starting "[", ";" or "#", a
  // section with "]", or a CR, LF or NUL anywhere.
  bool Write(std::string_view section, std::string_view name, std::string_view value);

  // Removes every line `name` of `section`; true when one was removed.
  bool Erase(std::string_view section, std::string_view name);

  // Section names in file order, each once, spelled as first found.
  std::vector<std::string> Sections() const;

  // Names of `section` in file order, each once, spelled as first found.
  std::vector<std::string> Names(std::string_view section) const;

  // "name=value" for each of Names(section), with the value Read gives.
  std::vector<std::string> ReadSection(std::string_view section) const;

 private:
  enum class Kind { kOther, kSection, kEntry };
  struct Line {
    std::string text;         // without its line end
    std::string_view ending;  // "\n", "\r\n" or "" (last line only)
    Kind kind = Kind::kOther;
    std::string key;          // section name or entry name, trimmed
    std::size_t value_at = 0;  // entries: where the value starts in `text`
  };

  // `first`: the line opens the text, where a byte order mark may stand.
  static Line Classify(std::string text, std::string_view ending, bool first);
  std::string_view NewLineEnding() const;
  // Calls visit(index) for each entry line of `section`, in order, until it
  // returns false.
  template <typename Visit>
  void ForEachEntry(std::string_view section, Visit visit) const;
  std::string ValueOf(const Line& line) const;
  void InsertLine(std::size_t at, std::string text);

  std::vector<Line> lines_;
};

}  // namespace fhr
