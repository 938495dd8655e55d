#include "storage/db_key.h"

namespace fhr {

std::string DbKey(const std::vector<std::string>& names) {
  std::string key;
  for (const std::string& name : names) {
    if (!key.empty()) key += kDbKeySeparator;
    key += name;
  }
  return key;
}

std::string DbKey(std::initializer_list<std::string> names) { return DbKey(std::vector<std::string>(names)); }

bool IsValidDbName(const std::string& name) {
  return !name.empty() && name.find_first_of(std::string("\r\n\0\xFF", 4)) == std::string::npos;
}

bool SplitDbKey(const std::string& key, std::vector<std::string>* names) {
  names->clear();
  std::size_t start = 0;
  while (start <= key.size()) {
    std::size_t end = key.find(kDbKeySeparator, start);
    if (end == std::string::npos) end = key.size();
    if (end == start) break;
    names->push_back(key.substr(start, end - start));
    start = end + 1;
  }
  if (names->empty() || names->size() > kDbMaxKeyParts) return false;
  for (const std::string& name : *names) {
    if (!IsValidDbName(name)) return false;
  }
  return true;
}

}  // namespace fhr
