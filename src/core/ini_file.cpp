#include "core/ini_file.h"

#include "core/atomic_file.h"

namespace fhr {

IniDocument IniFile::Load() const {
  std::string bytes;
  ReadWholeFile(path_, &bytes, nullptr);
  return IniDocument::Parse(bytes);
}

bool IniFile::LoadForChange(IniDocument* doc, std::string* error) const {
  std::string bytes;
  bool missing = false;
  if (!ReadWholeFile(path_, &bytes, error, &missing) && !missing) return false;
  *doc = IniDocument::Parse(bytes);
  return true;
}

bool IniFile::Store(const IniDocument& doc, std::string* error) const {
  return WriteFileAtomically(path_, doc.Serialize(), error, 0600);
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view name) const {
  return Load().Read(section, name);
}

bool IniFile::Write(std::string_view section, std::string_view name, std::string_view value,
                    std::string* error) {
  IniDocument doc;
  if (!LoadForChange(&doc, error)) return false;
  if (!doc.Write(section, name, value)) {
    if (error) {
      *error = "I can't store the setting \"" + std::string(name) + "\" in \"" + path_ + "\"";
    }
    return false;
  }
  return Store(doc, error);
}

bool IniFile::Erase(std::string_view section, std::string_view name, std::string* error) {
  IniDocument doc;
  if (!LoadForChange(&doc, error)) return false;
  if (!doc.Erase(section, name)) return true;
  return Store(doc, error);
}

std::vector<std::string> IniFile::Sections() const { return Load().Sections(); }

std::vector<std::string> IniFile::Names(std::string_view section) const {
  return Load().Names(section);
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  return Load().ReadSection(section);
}

}  // namespace fhr
