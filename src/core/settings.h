#pragma once
// The user's preferences in the settings file: every name of its [settings]
// section with its type, default and range, read afresh on every call.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/ini_file.h"

namespace fhr {

inline constexpr std::string_view kSettingsSection = "settings";
inline constexpr std::string_view kGpgSection = "gpg";
inline constexpr std::string_view kCipherSuitesSection = "sslciphersuites";

enum class SettingType {
  kFlag,       // "1" or "0"; any number other than 0 reads as true
  kInteger,    // decimal (or "$"/"0x" hexadecimal), clamped into its range
  kText,
  kFont,       // font string, see font_string.h
  kPlacement,  // window placement, see placement.h
  kList,       // comma text of a list of items
};

// One name of the [settings] section. `fallback` is the value read when the
// file has none (for flags and integers, its decimal text). Integers with
// `ranged` set are clamped into [min, max] when read.
struct SettingSpec {
  std::string_view name;
  SettingType type;
  std::string_view fallback;
  bool ranged = false;
  int min = 0;
  int max = 0;
};

// Every name the program keeps in [settings].
std::span<const SettingSpec> SettingsCatalog();

// The catalog entry for `name` (letter case ignored), or null.
const SettingSpec* FindSetting(std::string_view name);

// Typed access to the settings file at a path. Nothing is cached: each call
// reads the file, so changes made by another window or process are seen at
// once, and each setter rewrites it atomically. A missing file reads as all
// defaults; the first write creates it.
//
// The typed accessors take names from the catalog of the matching type.
// Any other name is a programming error: debug builds stop on an assertion,
// others read false, 0 or "" and refuse to write. Names outside the catalog,
// and other sections ([gpg], [sslciphersuites]), go through Read and Write.
class Settings {
 public:
  explicit Settings(std::string path) : file_(std::move(path)) {}

  // A flag: true when the stored value is a number other than 0; the
  // default when missing or not a number.
  bool Flag(std::string_view name) const;
  // An integer: the stored number clamped into the name's range; the
  // default when missing or not a number.
  int Int(std::string_view name) const;
  // A text, font string, placement or list: the stored text, or the default
  // when missing.
  std::string Text(std::string_view name) const;

  // Each writes the value under [settings] name ("1"/"0" for flags, decimal
  // for integers); false with `*error` set (when not null) on failure.
  bool SetFlag(std::string_view name, bool value, std::string* error = nullptr);
  bool SetInt(std::string_view name, int value, std::string* error = nullptr);
  bool SetText(std::string_view name, std::string_view value, std::string* error = nullptr);

  // Any name of any section: the stored text, or `fallback` when missing.
  std::string Read(std::string_view section, std::string_view name,
                   std::string_view fallback = {}) const;
  // Any name of any section; false with `*error` set on failure.
  bool Write(std::string_view section, std::string_view name, std::string_view value,
             std::string* error = nullptr);

  // The file itself, for section listings and removals.
  IniFile& file() { return file_; }
  const IniFile& file() const { return file_; }

 private:
  const SettingSpec* CatalogEntry(std::string_view name, SettingType type) const;
  bool Store(const SettingSpec* entry, std::string_view value, std::string* error);

  IniFile file_;
};

}  // namespace fhr
