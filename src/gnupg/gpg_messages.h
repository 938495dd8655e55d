#pragma once
// The GnuPG operations on a message's text: who a message is encrypted to,
// verifying a clear-signed block, decrypting an armored block, and whether
// a file holds OpenPGP data. Each works on the message's line list in place
// and starts one gpg run through TGPGConsole4.
#include <string>
#include <string_view>

#include "core/stringlist.h"
#include "gnupg/gpg_setup.h"

namespace fhr {

// Fills `keys` with the recipients of the message's PGP block, in gpg's
// order: "0x" and the last 8 digits of each key (a hidden recipient is
// "0x00000000"), then "N passphrase" for symmetric layers. The block goes
// back into the message repaired (see RepairArmor) and without "**" lines.
// False, after reporting the failure, when no recipient was found.
bool ListEncryptionKeys(const GpgSetup& setup, StringList& message, StringList& keys);

// Whether gpg finds OpenPGP data in the file; false for a missing file.
bool IsOpenPGPFile(const GpgSetup& setup, const std::string& path);
// Whether gpg finds OpenPGP data in `data` (given on standard input).
bool IsOpenPGPData(const GpgSetup& setup, std::string_view data);

// Replaces the message's clear-signed block by the verification lines, the
// verified-message banners and the signed text. True when gpg ran, whatever
// its verdict (the verification lines say what it was); otherwise the
// failure is reported and the block is put back.
bool VerifyClear(const GpgSetup& setup, StringList& message);

// Decrypts the message's first PGP message block with `passphrase` (sent on
// the passphrase channel; an empty one is sent as nothing). Success means
// gpg reported DECRYPTION_OKAY and none of DECRYPTION_FAILED, BADMDC and
// NODATA; the block is then replaced by the plaintext between the decrypted
// banners, with the verification lines above when the message was signed.
// On failure the (repaired) block is put back and nothing is reported: the
// caller decides. `diagnostics`, when given, gets the error lines, "-----"
// and the status lines of the run.
bool Decrypt(const GpgSetup& setup, StringList& message, const std::string& passphrase, StringList* diagnostics);

// The same, and `*runErrorLines` gets every error line of the run as gpg
// wrote it (the diagnostics of a success keep only the signature report),
// for callers that must read which key gpg tried.
bool Decrypt(const GpgSetup& setup, StringList& message, const std::string& passphrase, StringList* diagnostics,
             StringList* runErrorLines);

}  // namespace fhr
