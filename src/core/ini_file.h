#pragma once
// An INI file on disk, read afresh on every call and replaced atomically on
// every change, so that several processes sharing it see each other's
// changes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini_document.h"

namespace fhr {

// Name look-up and changes as IniDocument does them, over the file at a
// path. A missing or unreadable file reads as empty. The first write creates
// the file (mode 0600); every write replaces it atomically and keeps every
// other line of it byte for byte.
class IniFile {
 public:
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // The trimmed value of `name` in `section`, or nothing.
  std::optional<std::string> Read(std::string_view section, std::string_view name) const;

  // Sets `name` in `section` to `value`. False, with `*error` set when not
  // null, when the name, section or value cannot be stored (see
  // IniDocument::Write), when an existing file cannot be read (it is then
  // left alone rather than overwritten) or when the file cannot be written.
  bool Write(std::string_view section, std::string_view name, std::string_view value,
             std::string* error = nullptr);

  // Removes `name` from `section`. True when the file no longer holds it,
  // including when it never did (the file is then not rewritten).
  bool Erase(std::string_view section, std::string_view name, std::string* error = nullptr);

  std::vector<std::string> Sections() const;
  std::vector<std::string> Names(std::string_view section) const;
  // "name=value" lines of `section`, as IniDocument::ReadSection.
  std::vector<std::string> ReadSection(std::string_view section) const;

 private:
  IniDocument Load() const;
  // Loads the document for a change; false when the file exists but cannot
  // be read.
  bool LoadForChange(IniDocument* doc, std::string* error) const;
  bool Store(const IniDocument& doc, std::string* error) const;

  std::string path_;
};

}  // namespace fhr
