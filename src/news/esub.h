#pragma once
// Encrypted subjects (ESUB) of the Blowfish form: 8 random bytes, then the
// MD5 digest of a plain-text subject encrypted with Blowfish in CFB-64 mode
// (the random bytes as the first feedback block) under the key MD5 of the
// passphrase, all written as 48 hexadecimal characters.
#include <optional>
#include <string>

namespace fhr {

// True when `tag` is a Blowfish-form ESUB of `subject` under `passphrase`.
// The tag must be exactly 48 characters; its hexadecimal is read leniently
// (either case; a malformed pair decodes to some byte and the tag simply does
// not match). Derives the keys afresh on every call; a pass that tests many
// subjects uses SubjectMatcher instead.
bool TestEncryptedSubject(const std::string& tag, const std::string& subject, const std::string& passphrase);

// A new Blowfish-form ESUB of `subject` under `passphrase`, in lowercase,
// its random part from the operating system. Nothing when the subject or the
// passphrase is empty or no randomness is available.
std::optional<std::string> MakeEncryptedSubject(const std::string& subject, const std::string& passphrase);

}  // namespace fhr
