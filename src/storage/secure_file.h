#pragma once
// The secure-mode database file on disk: gpg's symmetric encryption of the
// image followed by the image's length (8 bytes, unsigned little-endian),
// and the steps that put a new one in place without ever leaving the
// database name empty.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fhr {

inline constexpr std::size_t kPlainLengthSize = 8;

// Splits the bytes of a secure-mode file into gpg's part and the stored
// length. False when the file is too short to hold the length.
bool SplitSecureFile(std::string_view file, std::string_view* encrypted, std::uint64_t* length);

// Appends `length` to the file that gpg wrote at `path` and flushes the file
// to the disk. False with `*error` set on failure.
bool FinishSecureFile(const std::string& path, std::uint64_t length, std::string* error);

// Renames `from` over `to` and flushes their directory, so the rename
// survives a crash. False with `*error` set on failure (`to` is then as it
// was).
bool RenameDurably(const std::string& from, const std::string& to, std::string* error);

// Whether the two names are links to the same file. False when either is
// missing.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace fhr
