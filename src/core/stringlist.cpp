#include "core/stringlist.h"

namespace fhr {

namespace {

// Bytes are compared as unsigned so that 0x80..0xFF are never mistaken for
// blanks or control characters.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool NeedsQuotes(const std::string& line) {
  for (char c : line) {
    if (IsBlankOrControl(c) || c == '"' || c == ',') return true;
  }
  return false;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

StringList::StringList(std::initializer_list<std::string> lines) : lines_(lines), objects_(lines_.size()) {}

std::size_t StringList::Add(std::string line, Object object) {
  lines_.push_back(std::move(line));
  objects_.push_back(std::move(object));
  return lines_.size() - 1;
}

void StringList::Insert(std::size_t i, std::string line, Object object) {
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), std::move(line));
  objects_.insert(objects_.begin() + static_cast<std::ptrdiff_t>(i), std::move(object));
}

void StringList::Delete(std::size_t i) {
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  objects_.erase(objects_.begin() + static_cast<std::ptrdiff_t>(i));
}

void StringList::Clear() {
  lines_.clear();
  objects_.clear();
}

int StringList::IndexOf(const std::string& line) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i] == line) return static_cast<int>(i);
  }
  return -1;
}

std::string StringList::Name(std::size_t i) const {
  const std::string& line = lines_[i];
  const auto eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string StringList::ValueFromIndex(std::size_t i) const {
  const std::string& line = lines_[i];
  const auto eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int StringList::IndexOfName(const std::string& name) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string& line = lines_[i];
    if (line.size() > name.size() && line[name.size()] == '=' &&
        SameNameIgnoringCase(line.substr(0, name.size()), name)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string StringList::Value(const std::string& name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(static_cast<std::size_t>(i));
}

void StringList::SetValue(const std::string& name, const std::string& value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(static_cast<std::size_t>(i));
  } else if (i >= 0) {
    lines_[static_cast<std::size_t>(i)] = name + "=" + value;
  } else {
    Add(name + "=" + value);
  }
}

std::string StringList::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void StringList::SetText(const std::string& text) {
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    const auto stop = text.find_first_of("\r\n", start);
    if (stop == std::string::npos) {
      Add(text.substr(start));
      break;
    }
    Add(text.substr(start, stop - start));
    start = stop + 1;
    if (text[stop] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
}

std::string StringList::CommaText() const {
  if (lines_.size() == 1 && lines_[0].empty()) return "\"\"";
  std::string text;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += ',';
    const std::string& line = lines_[i];
    if (!NeedsQuotes(line)) {
      text += line;
      continue;
    }
    text += '"';
    for (char c : line) {
      if (c == '"') text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

void StringList::SetCommaText(const std::string& text) {
  Clear();
  const std::size_t n = text.size();
  std::size_t p = 0;
  auto skip_blanks = [&] {
    while (p < n && IsBlankOrControl(text[p])) ++p;
  };
  skip_blanks();
  while (p < n) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;  // the closing quote
          break;
        }
        item += text[p++];
      }
    } else {
      const std::size_t start = p;
      while (p < n && !IsBlankOrControl(text[p]) && text[p] != ',') ++p;
      item = text.substr(start, p - start);
    }
    Add(std::move(item));
    skip_blanks();
    if (p < n && text[p] == ',') {
      if (p + 1 == n) Add(std::string());
      ++p;
      skip_blanks();
    }
  }
}

}  // namespace fhr
