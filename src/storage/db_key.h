#pragma once
// Key paths: up to 16 names joined by the byte 0xFF. The parts before the
// last name folders from the root; the last names the record or folder.
#include <initializer_list>
#include <string>
#include <vector>

namespace fhr {

inline constexpr char kDbKeySeparator = '\xFF';
inline constexpr std::size_t kDbMaxKeyParts = 16;

// The names joined by 0xFF.
std::string DbKey(std::initializer_list<std::string> names);
std::string DbKey(const std::vector<std::string>& names);

// Whether `name` can be stored in a folder: not empty, and no CR, LF or NUL
// (they would break the folder's name text) and no 0xFF (the separator).
bool IsValidDbName(const std::string& name);

// Splits a key into its names. The key ends at its first empty part, so a
// trailing separator and anything after a doubled one are ignored. False
// when no name is left, when a name is not valid, or when more than 16
// names remain.
bool SplitDbKey(const std::string& key, std::vector<std::string>* names);

}  // namespace fhr
