#pragma once
// The PGP armor markers and the banners the program puts around the results
// of GnuPG, and the tests that classify a message's text by them.
#include <string>
#include <string_view>

#include "core/stringlist.h"

namespace fhr {

inline constexpr std::string_view BeginRemailerMessage = "-----BEGIN REMAILER MESSAGE-----";
inline constexpr std::string_view BeginPGPMessage = "-----BEGIN PGP MESSAGE-----";
inline constexpr std::string_view EndPGPMessage = "-----END PGP MESSAGE-----";
inline constexpr std::string_view BeginPGPSignedMessage = "-----BEGIN PGP SIGNED MESSAGE-----";
inline constexpr std::string_view BeginPGPSignature = "-----BEGIN PGP SIGNATURE-----";
inline constexpr std::string_view EndPGPSignature = "-----END PGP SIGNATURE-----";
inline constexpr std::string_view BeginPGPDecryptedVerifiedMessage = "*** BEGIN PGP DECRYPTED/VERIFIED MESSAGE ***";
inline constexpr std::string_view EndPGPDecryptedVerifiedMessage = "*** END PGP DECRYPTED/VERIFIED MESSAGE ***";
inline constexpr std::string_view BeginPGPDecryptedMessage = "*** BEGIN PGP DECRYPTED MESSAGE ***";
inline constexpr std::string_view EndPGPDecryptedMessage = "*** END PGP DECRYPTED MESSAGE ***";
inline constexpr std::string_view BeginPGPVerifiedMessage = "*** BEGIN PGP VERIFIED MESSAGE ***";
inline constexpr std::string_view EndPGPVerifiedMessage = "*** END PGP VERIFIED MESSAGE ***";
inline constexpr std::string_view PGPSignatureVerification = "*** PGP SIGNATURE VERIFICATION ***";
inline constexpr std::string_view BeginPGPPublicKeyBlock = "*** BEGIN PGP PUBLIC KEY BLOCK ***";
inline constexpr std::string_view EndPGPPublicKeyBlock = "*** END PGP PUBLIC KEY BLOCK ***";
inline constexpr std::string_view BeginPGPArmoredFile = "-----BEGIN PGP ARMORED FILE-----";
inline constexpr std::string_view EndPGPArmoredFile = "-----END PGP ARMORED FILE-----";

// Index of the first line at or after `from` that is `marker` as a whole
// line, letter case ignored; -1 when there is none.
int FindMarker(const StringList& lines, std::string_view marker, std::size_t from = 0);

// A PGP message whose first end marker lies more than 5 lines after its
// begin marker, or such a clear-signed message (begin to end of signature).
bool GPGIsPGPMessage(const StringList& lines);

// A clear-signed message: a begin marker with the end of a signature after it.
bool GPGIsClearSigned(const StringList& lines);

// The text already carries a signature verification report.
bool GPGHasVerification(const StringList& lines);

}  // namespace fhr
