#include "core/ini_document.h"

#include <algorithm>

namespace fhr {
namespace {

// A CR that does not end a line (a lone CR, or one before the end of the
// file) counts as a blank, so that adding a line end after it later cannot
// change what the line reads as.
constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool HasLineBreakOrNul(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool ValidSection(std::string_view section) {
  return !section.empty() && Trim(section) == section && !HasLineBreakOrNul(section) &&
         section.find(']') == std::string_view::npos;
}

bool ValidName(std::string_view name) {
  return !name.empty() && Trim(name) == name && !HasLineBreakOrNul(name) &&
         name.find('=') == std::string_view::npos && name.front() != '[' &&
         name.front() != ';' && name.front() != '#';
}

bool HasOnlyBlanks(std::string_view text) {
  return text.find_first_not_of(kBlanks) == std::string_view::npos;
}

void AddOnce(std::vector<std::string>* names, std::string_view name) {
  for (const auto& known : *names) {
    if (EqualsIgnoringAsciiCase(known, name)) return;
  }
  names->emplace_back(name);
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

IniDocument::Line IniDocument::Classify(std::string text, std::string_view ending,
                                        bool first) {
  Line line;
  line.ending = ending;
  std::string_view view = text;
  // An editor may have put a byte order mark before the first line.
  std::size_t start = first && view.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  start = view.find_first_not_of(kBlanks, start);
  if (start != std::string_view::npos && view[start] != ';' && view[start] != '#') {
    if (view[start] == '[') {
      const auto close = view.find(']', start);
      if (close != std::string_view::npos) {
        line.kind = Kind::kSection;
        line.key = Trim(view.substr(start + 1, close - start - 1));
      }
    } else if (const auto equals = view.find('=', start); equals != std::string_view::npos) {
      const auto name = Trim(view.substr(start, equals - start));
      if (!name.empty()) {
        line.kind = Kind::kEntry;
        line.key = name;
        const auto value = view.find_first_not_of(kBlanks, equals + 1);
        line.value_at = value == std::string_view::npos ? view.size() : value;
      }
    }
  }
  line.text = std::move(text);
  return line;
}

IniDocument IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  while (!bytes.empty()) {
    const auto lf = bytes.find('\n');
    if (lf == std::string_view::npos) {
      doc.lines_.push_back(Classify(std::string(bytes), "", doc.lines_.empty()));
      break;
    }
    const bool crlf = lf > 0 && bytes[lf - 1] == '\r';
    const auto length = crlf ? lf - 1 : lf;
    doc.lines_.push_back(
        Classify(std::string(bytes.substr(0, length)), crlf ? "\r\n" : "\n", doc.lines_.empty()));
    bytes.remove_prefix(lf + 1);
  }
  return doc;
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const auto& line : lines_) {
    out += line.text;
    out += line.ending;
  }
  return out;
}

template <typename Visit>
void IniDocument::ForEachEntry(std::string_view section, Visit visit) const {
  bool inside = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == Kind::kSection) {
      inside = EqualsIgnoringAsciiCase(line.key, section);
    } else if (inside && line.kind == Kind::kEntry) {
      if (!visit(i)) return;
    }
  }
}

std::string IniDocument::ValueOf(const Line& line) const {
  std::string_view value = line.text;
  value = Trim(value.substr(line.value_at));
  return std::string(value.substr(0, kIniValueLimit));
}

std::optional<std::string> IniDocument::Read(std::string_view section,
                                             std::string_view name) const {
  std::optional<std::string> found;
  ForEachEntry(section, [&](std::size_t i) {
    if (!EqualsIgnoringAsciiCase(lines_[i].key, name)) return true;
    found = ValueOf(lines_[i]);
    return false;
  });
  return found;
}

std::string_view IniDocument::NewLineEnding() const {
  for (const auto& line : lines_) {
    if (!line.ending.empty()) return line.ending;
  }
  return "\n";
}

void IniDocument::InsertLine(std::size_t at, std::string text) {
  if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = NewLineEnding();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                Classify(std::move(text), NewLineEnding(), at == 0));
}

bool IniDocument::Write(std::string_view section, std::string_view name,
                        std::string_view value) {
  if (!ValidSection(section) || !ValidName(name) || HasLineBreakOrNul(value)) return false;

  std::optional<std::size_t> existing;
  ForEachEntry(section, [&](std::size_t i) {
    if (!EqualsIgnoringAsciiCase(lines_[i].key, name)) return true;
    existing = i;
    return false;
  });
  const std::string entry = std::string(name) + "=" + std::string(value);
  if (existing) {
    Line& line = lines_[*existing];
    line = Classify(line.text.substr(0, line.value_at) + std::string(value), line.ending,
                    *existing == 0);
    return true;
  }

  const auto header = std::find_if(lines_.begin(), lines_.end(), [&](const Line& line) {
    return line.kind == Kind::kSection && EqualsIgnoringAsciiCase(line.key, section);
  });
  if (header == lines_.end()) {
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), entry);
    return true;
  }
  // After the section's last non-blank line, so blank lines that separate
  // it from the next section stay where they are.
  std::size_t last = static_cast<std::size_t>(header - lines_.begin());
  for (std::size_t i = last + 1; i < lines_.size() && lines_[i].kind != Kind::kSection; ++i) {
    if (!HasOnlyBlanks(lines_[i].text)) last = i;
  }
  InsertLine(last + 1, entry);
  return true;
}

bool IniDocument::Erase(std::string_view section, std::string_view name) {
  std::vector<std::size_t> doomed;
  ForEachEntry(section, [&](std::size_t i) {
    if (EqualsIgnoringAsciiCase(lines_[i].key, name)) doomed.push_back(i);
    return true;
  });
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*it));
  }
  return !doomed.empty();
}

std::vector<std::string> IniDocument::Sections() const {
  std::vector<std::string> sections;
  for (const auto& line : lines_) {
    if (line.kind == Kind::kSection) AddOnce(&sections, line.key);
  }
  return sections;
}

std::vector<std::string> IniDocument::Names(std::string_view section) const {
  std::vector<std::string> names;
  ForEachEntry(section, [&](std::size_t i) {
    AddOnce(&names, lines_[i].key);
    return true;
  });
  return names;
}

std::vector<std::string> IniDocument::ReadSection(std::string_view section) const {
  std::vector<std::string> lines;
  for (const auto& name : Names(section)) {
    lines.push_back(name + "=" + Read(section, name).value_or(""));
  }
  return lines;
}

}  // namespace fhr
