#pragma once
// What a decryption run of gpg says, read from its exact status keywords
// and its own error lines, never from the message text: whether a
// passphrase or password was wrong, which secret key opened a throw-keyids
// message, and whether the nymserver signed the layer.
#include <string>
#include <string_view>

#include "core/stringlist.h"
#include "gnupg/gpg_setup.h"

namespace fhr {

// Splits a diagnostics list (error lines, "-----", status lines) at its
// first line that is exactly "-----"; without one, every line is an error
// line.
void SplitDiagnostics(const StringList& diagnostics, StringList* errorLines, StringList* statusLines);

// Shows a diagnostics list through the GnuPG error report.
void ShowGPGDiagnostics(const StringList& diagnostics);

// Whether one of the status lines has exactly this keyword.
bool HasStatusKeyword(const StringList& statusLines, std::string_view keyword);

// A failed decryption because the passphrase or password was wrong: gpg
// reported DECRYPTION_FAILED and either BAD_PASSPHRASE (a secret key) or,
// for a symmetric layer (NEED_PASSPHRASE_SYM), its error "decryption
// failed: bad key" (gpg 1.4 reports no BAD_PASSPHRASE for a wrong password).
bool WrongPassphrase(const StringList& diagnostics);

// The secret key that opened a throw-keyids message: from gpg's
// "anonymous recipient; trying secret key XXXXXXXX ..." lines, the last one
// before "okay, we are the anonymous recipient." (gpg stops trying at the
// key that worked). "0x" and 8 hex digits, or "" when gpg named none. This
// also names a key without a passphrase, for which gpg asks for none.
std::string AnonymousRecipientKey(const StringList& runErrorLines);

// The long (16 hex digit) key ID of the nymserver that serves the nym's
// key: the key of "send@" + the domain of the nym's address, else of
// "config@" + that domain. "" when the nym's key or both server keys are
// not on the keyring.
std::string NymserverKeyId(const GpgSetup& setup, const std::string& nymKeyId);

enum class SignatureVerdict {
  kNone,           // the layer carried no signature at all
  kNymserverGood,  // a good, valid signature by the nymserver's key
  kNotNymserver,   // a signature that is bad, unchecked or by another key
};

// Judges the run's signature from its status lines: kNymserverGood needs
// GOODSIG and a VALIDSIG whose primary key fingerprint ends in
// `nymserverKeyId` (16 hex digits; "" never matches), and no BADSIG,
// ERRSIG, EXPSIG, EXPKEYSIG or REVKEYSIG.
SignatureVerdict JudgeSignature(const StringList& statusLines, const std::string& nymserverKeyId);

}  // namespace fhr
