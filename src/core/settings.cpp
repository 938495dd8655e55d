#include "core/settings.h"

#include <algorithm>
#include <array>
#include <cassert>

#include "core/integer_text.h"

namespace fhr {
namespace {

using T = SettingType;

constexpr std::array kCatalog = {
    SettingSpec{"usetray", T::kFlag, "0"},
    SettingSpec{"checkmail", T::kFlag, "0"},
    SettingSpec{"checkmailmins", T::kInteger, "30", true, 5, 120},
    SettingSpec{"savedecrypted", T::kFlag, "0"},
    SettingSpec{"notifyfhl", T::kFlag, "1"},
    SettingSpec{"hideprxysel", T::kFlag, "0"},
    SettingSpec{"hideacctsel", T::kFlag, "0"},
    SettingSpec{"dialogfont", T::kFont, "Tahoma,10,r,0"},
    SettingSpec{"windowfont", T::kFont, "Tahoma,10,r,0"},
    SettingSpec{"editorfont", T::kFont, "Courier New,10,r,0"},
    SettingSpec{"loglines", T::kInteger, "1000", true, 0, 5000},
    SettingSpec{"cachemins", T::kInteger, "0", true, 0, 120},
    SettingSpec{"maskgpgversion", T::kFlag, "0"},
    SettingSpec{"nntptimeout", T::kInteger, "30", true, 10, 900},
    SettingSpec{"fewerheaders", T::kFlag, "1"},
    SettingSpec{"account", T::kText, "none"},
    SettingSpec{"nntpproxy", T::kText, "none"},
    SettingSpec{"newsgroup", T::kText, "alt.anonymous.messages"},
    SettingSpec{"savetimeouts", T::kFlag, "0"},
    SettingSpec{"IGNORECKT", T::kFlag, "0"},
    // The defaults of these two belong to the nym configuration messages,
    // which supply them where they read these names.
    SettingSpec{"defoptions", T::kText, ""},
    SettingSpec{"defanonto", T::kText, ""},
    SettingSpec{"dontshow", T::kList, ""},
    // Placements default to empty: the window keeps its current geometry.
    SettingSpec{"window", T::kPlacement, ""},
    SettingSpec{"msgwin", T::kPlacement, ""},
    SettingSpec{"smtpdlg", T::kPlacement, ""},
    SettingSpec{"nntpmandlg", T::kPlacement, ""},
    SettingSpec{"proxymandlg", T::kPlacement, ""},
    SettingSpec{"subjectsdlg", T::kPlacement, ""},
};

bool IsTextual(SettingType type) { return type != T::kFlag && type != T::kInteger; }

}  // namespace

std::span<const SettingSpec> SettingsCatalog() { return kCatalog; }

const SettingSpec* FindSetting(std::string_view name) {
  for (const auto& entry : kCatalog) {
    if (EqualsIgnoringAsciiCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

const SettingSpec* Settings::CatalogEntry(std::string_view name, SettingType type) const {
  const SettingSpec* entry = FindSetting(name);
  const bool fits = entry && (entry->type == type || (IsTextual(type) && IsTextual(entry->type)));
  assert(fits && "setting name not in the catalog or of another type");
  return fits ? entry : nullptr;
}

bool Settings::Flag(std::string_view name) const {
  const SettingSpec* entry = CatalogEntry(name, T::kFlag);
  if (!entry) return false;
  const auto stored = file_.Read(kSettingsSection, entry->name);
  const auto number = ParseInteger(stored.value_or(std::string(entry->fallback)));
  return number ? *number != 0 : entry->fallback != "0";
}

int Settings::Int(std::string_view name) const {
  const SettingSpec* entry = CatalogEntry(name, T::kInteger);
  if (!entry) return 0;
  const auto stored = file_.Read(kSettingsSection, entry->name);
  auto number = stored ? ParseInteger(*stored) : std::nullopt;
  if (!number) number = ParseInteger(entry->fallback);
  const int value = number.value_or(0);
  return entry->ranged ? std::clamp(value, entry->min, entry->max) : value;
}

std::string Settings::Text(std::string_view name) const {
  const SettingSpec* entry = CatalogEntry(name, T::kText);
  if (!entry) return {};
  return Read(kSettingsSection, entry->name, entry->fallback);
}

bool Settings::Store(const SettingSpec* entry, std::string_view value, std::string* error) {
  if (!entry) {
    if (error) *error = "unknown setting";
    return false;
  }
  return Write(kSettingsSection, entry->name, value, error);
}

bool Settings::SetFlag(std::string_view name, bool value, std::string* error) {
  return Store(CatalogEntry(name, T::kFlag), value ? "1" : "0", error);
}

bool Settings::SetInt(std::string_view name, int value, std::string* error) {
  return Store(CatalogEntry(name, T::kInteger), std::to_string(value), error);
}

bool Settings::SetText(std::string_view name, std::string_view value, std::string* error) {
  return Store(CatalogEntry(name, T::kText), value, error);
}

std::string Settings::Read(std::string_view section, std::string_view name,
                           std::string_view fallback) const {
  auto stored = file_.Read(section, name);
  return stored ? std::move(*stored) : std::string(fallback);
}

bool Settings::Write(std::string_view section, std::string_view name, std::string_view value,
                     std::string* error) {
  return file_.Write(section, name, value, error);
}

}  // namespace fhr
