#pragma once
// How fhr-cli writes database key paths: the names joined by "/", each byte
// outside printable ASCII and each "/" or "\" inside a name written \xHH.
#include <optional>
#include <string>

namespace fhr::cli {

// One name as fhr-cli prints it.
std::string EscapeDbName(const std::string& name);

// The database key (names joined by 0xFF) of a PATH as fhr-cli takes it.
// A "/" at either end is ignored; an empty PATH gives an empty key (the
// root). Nullopt, with the reason in `*error`, for an empty name inside the
// path, a "\" not followed by "x" and two hexadecimal digits, or a name the
// database cannot hold.
std::optional<std::string> ParseDbPath(const std::string& path, std::string* error);

}  // namespace fhr::cli
