#pragma once
// Hashed subjects (HSUB): 16 hexadecimal characters of an 8-byte random
// value IV (either case), then the first 32 characters of the lowercase
// hexadecimal SHA-256 of IV followed by a secret text.
#include <optional>
#include <string>
#include <string_view>

namespace fhr {

// SHA-256 (FIPS 180-4) of the bytes as 64 lowercase hexadecimal characters.
std::string Sha256Hex(std::string_view bytes);

// True when `tag` is an HSUB of `secret`: exactly 48 characters, the first
// 16 hexadecimal in either case, the last 32 equal byte for byte (so in
// lowercase) to the digest part. A tag whose first 16 characters are not all
// hexadecimal is refused without hashing.
bool TestHashedSubject(const std::string& tag, const std::string& secret);

// A new HSUB of `secret` in lowercase, its IV from the operating system.
// Nothing when the secret is empty or no randomness is available.
std::optional<std::string> MakeHashedSubject(const std::string& secret);

}  // namespace fhr
