#pragma once
// The decryption of a stored message, layer by layer: an ordinary PGP
// message (verify or decrypt), the Encrypt-Key (symmetric) layers alone,
// and a whole nym message (Encrypt-Key layers with the subject line's
// passwords, then the public-key layer with the nym key's passphrase from
// the cache or the user, with the blending and nymserver signature checks).
// Every procedure works on the message's lines in place: on failure the
// caller keeps what was decrypted so far.
#include <string>

#include "core/stringlist.h"
#include "decrypt/decrypt_prompts.h"
#include "decrypt/passphrase_cache_access.h"
#include "gnupg/gpg_setup.h"
#include "news/subject_line.h"

namespace fhr {

// What every procedure works with: gpg (its settings file also gives
// "IGNORECKT" and "dontshow"), the front end's prompts, and the passphrase
// cache (null: nothing is recalled or kept).
struct DecryptEnvironment {
  GpgSetup setup;
  DecryptPrompts* prompts = nullptr;
  PassphraseCacheAccess* cache = nullptr;
};

// How the public-key layer of a nym message went.
struct NymDecryptOutcome {
  bool ok = false;
  // The run that opened the layer reported a good, valid signature by the
  // nymserver's key. Only this, never a verification block found in the
  // text, says that a message has been through its nymserver.
  bool nymserverSigned = false;
  // The key that opened the layer ("0x" and 8 hex digits; "" when unknown).
  std::string openedBy;
  // The run's own verification lines (empty when the layer was unsigned).
  StringList verification;
};

// An ordinary PGP message: a clear-signed one is verified; otherwise its
// recipients are listed, the passphrase is recalled or asked for (up to 3
// attempts; a wrong one says "   Bad passphrase!   ", any other failure
// shows gpg's report and ends), and a passphrase that worked is cached
// under the first recipient. True when the message was verified or
// decrypted.
bool DecryptMessage(const DecryptEnvironment& env, StringList& lines);

// Opens the symmetric layers with `passwords` (comma-separated, outermost
// first, items used as written, the list ending at the first empty item),
// one layer per password. A wrong password is reported as "Bad passphrase!"
// or, with several passwords, "Bad passphrase at position N."; any other
// failure with gpg's report. The lines must hold a PGP message.
bool StripSymmetricLayers(const DecryptEnvironment& env, StringList& lines, const std::string& passwords);

// A nym message (its lines without any line put in front by the caller),
// for the subject line it matched. Clear-signed text is verified. Otherwise
// the Encrypt-Key layers are opened with the subject line's "kphrase" when
// its "ekey" is set, the public-key layer's recipient is compared with the
// nym's key (blending warning, which does not stop the decryption), and the
// layer is decrypted with the cached or typed passphrase (up to 5
// attempts). Afterwards, unless "IGNORECKT" is set, the nymserver's
// signature is judged from that run's status: none gives the "should be PGP
// signed" warning, any other than the nymserver's good signature the
// signature warning with the run's verification lines.
NymDecryptOutcome DecryptNymMessage(const DecryptEnvironment& env, const SubjectLine& subject, StringList& lines);

// Removes the decrypted-message banners (and blank and "**" lines) that
// Decrypt left around a peeled symmetric layer, from the first body line
// on and at the end, so the inner PGP message becomes the body again.
void StripDecryptedBanners(StringList& lines);

// Compares the key a message is for with the nym's key by their short IDs
// (a key not on the keyring has the short ID "0x"). When they differ, shows
// the blending warning and returns false.
bool CheckBlending(const DecryptEnvironment& env, const std::string& nymKeyId, const std::string& messageKeyId);

}  // namespace fhr
