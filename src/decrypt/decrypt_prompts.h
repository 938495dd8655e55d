#pragma once
// How the decryption workflow asks for passphrases and warns: one interface
// that each front end implements (the desktop with its dialogs, fhr-cli on
// the terminal, tests from a script). Warnings and notices have defaults
// that go through MsgDialog; only the passphrase prompt has none, because a
// secret must never be asked for in an ordinary message box.
#include <string>

#include "core/stringlist.h"

namespace fhr {

// What a passphrase prompt shows: the caption, the label above the key
// list, the recipient entries (one per line), the explanation below (empty:
// none) and whether to offer the "What is throw-keyids?" help.
struct KeyPassphraseRequest {
  std::string caption;
  std::string keysLabel;
  StringList entries;
  std::string explanation;
  bool throwKeyids = false;
};

// The prompt for a nym message's public-key layer; with `throwKeyids` the
// entry shown is the key the message should be encrypted to.
KeyPassphraseRequest NymPassphrasePrompt(const StringList& entries, bool throwKeyids);

// The prompt for an ordinary PGP message.
KeyPassphraseRequest MessagePassphrasePrompt(const StringList& entries);

// The blending warning's two lines, as the desktop labels them.
std::string AddressedToLine(const std::string& addressedTo);
std::string EncryptedToLine(const std::string& encryptedTo);

class DecryptPrompts {
 public:
  virtual ~DecryptPrompts() = default;

  // Asks for a passphrase. Returns what the user entered, or "" when they
  // cancelled; an empty entry is refused by the front end (with
  // kEmptyPassphraseRefused) rather than returned. The caller wipes it.
  virtual std::string AskPassphrase(const KeyPassphraseRequest& prompt) = 0;

  // The one-line progress status ("" clears it). Default: nothing.
  virtual void ShowStatus(const std::string& status);

  // A possible blending attack: the message is addressed to one key and
  // encrypted to another. Each text is a short key ID, a blank and the
  // key's user ID. Default: a warning box with the caption's title, both
  // lines and the explanation.
  virtual void ShowBlendingWarning(const std::string& addressedTo, const std::string& encryptedTo);

  // The nymserver's signature is there but is not its good signature; the
  // lines are gpg's report of it. Default: a warning box.
  virtual void ShowSignatureWarning(const StringList& verificationLines);

  // A notice the user may silence ("dontshow" holds the silenced keys; the
  // caller has checked it). Returns kMrOk or kMrCancel. Default: an
  // information box with OK (and Cancel when `withCancel`).
  virtual int ShowNotice(const std::string& key, const std::string& caption, const std::string& text,
                         bool withCancel);
};

}  // namespace fhr
