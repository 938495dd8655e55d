#pragma once
// An ordered list of byte-string lines, each with an optional attached
// object. It is the program's universal record: name=value fields, message
// lines, settings sections. Lines are bytes and are never decoded; bytes from
// 0x80 up are ordinary characters everywhere in this class.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace fhr {

class StringList {
 public:
  // Whatever a caller wants to keep beside a line (for example a message's
  // cached lines beside its list key). Shared, so copies of a list share it.
  using Object = std::shared_ptr<void>;
  using iterator = std::vector<std::string>::iterator;
  using const_iterator = std::vector<std::string>::const_iterator;

  StringList() = default;
  StringList(std::initializer_list<std::string> lines);

  std::size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  std::string& operator[](std::size_t i) { return lines_[i]; }
  const std::string& operator[](std::size_t i) const { return lines_[i]; }
  iterator begin() { return lines_.begin(); }
  iterator end() { return lines_.end(); }
  const_iterator begin() const { return lines_.begin(); }
  const_iterator end() const { return lines_.end(); }
  // The lines alone, for algorithms that want a vector.
  const std::vector<std::string>& lines() const { return lines_; }

  // Appends a line (with an object) and returns its index.
  std::size_t Add(std::string line, Object object = {});
  void push_back(std::string line) { Add(std::move(line)); }
  // Inserts before index i; i == size() appends.
  void Insert(std::size_t i, std::string line, Object object = {});
  // Removes line i with its object.
  void Delete(std::size_t i);
  void Clear();
  // Index of the first line equal to `line` byte for byte, or -1.
  int IndexOf(const std::string& line) const;

  const Object& ObjectAt(std::size_t i) const { return objects_[i]; }
  void SetObject(std::size_t i, Object object) { objects_[i] = std::move(object); }

  // Lines of the form name=value. The name is everything before the first
  // "="; a line without "=" has no name and no value. Names compare without
  // regard to ASCII letter case, and the first matching line wins.
  std::string Name(std::size_t i) const;
  std::string ValueFromIndex(std::size_t i) const;
  int IndexOfName(const std::string& name) const;
  // The value of the first line named `name`, or "" when there is none.
  std::string Value(const std::string& name) const;
  // Replaces the first line named `name` with name=value, or appends it when
  // there is none. An empty value removes that line instead, so an empty
  // field is never stored.
  void SetValue(const std::string& name, const std::string& value);

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the lines by those of `text`, split at CR LF, LF or a lone CR.
  // A terminator at the very end adds no empty line. Objects are dropped.
  void SetText(const std::string& text);

  // The one-line form: lines separated by ","; a line holding a blank, a
  // control character (below 0x20), a double quote or a comma is written in
  // double quotes with inner quotes doubled. 0x7F and bytes from 0x80 up are
  // ordinary. A list of one empty line is written as "" (two quotes), an
  // empty list as an empty text.
  std::string CommaText() const;
  // Replaces the lines by those read from a comma text: blanks and control
  // characters around items are skipped; a quoted item runs to its closing
  // quote (a doubled quote stands for one; without a closing quote it runs to
  // the end); an unquoted item runs up to a blank, control character or
  // comma, so an unquoted blank separates items as a comma does; a comma that
  // is the very last byte adds one empty item. Objects are dropped.
  void SetCommaText(const std::string& text);

  // Lists are equal when their lines are; attached objects do not count.
  friend bool operator==(const StringList& a, const StringList& b) { return a.lines_ == b.lines_; }

 private:
  std::vector<std::string> lines_;
  std::vector<Object> objects_;  // parallel to lines_
};

// True when the two names are equal without regard to ASCII letter case.
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

}  // namespace fhr
