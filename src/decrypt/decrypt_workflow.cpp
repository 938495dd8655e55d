#include "decrypt/decrypt_workflow.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/settings.h"
#include "core/text_helpers.h"
#include "decrypt/decrypt_texts.h"
#include "decrypt/gpg_verdicts.h"
#include "gnupg/gpg_keys.h"
#include "gnupg/gpg_messages.h"
#include "gnupg/pgp_block.h"
#include "gnupg/pgp_markers.h"
#include "news/msgmans.h"

namespace fhr {

namespace {

constexpr int kMessageAttempts = 3;
constexpr int kNymAttempts = 5;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool NamesSymmetricLayer(const std::string& entry) { return Lower(entry).find("passphrase") != std::string::npos; }

bool IsHiddenRecipient(const std::string& entry) { return entry.find("00000000") != std::string::npos; }

// Appends a blank and the user ID to each entry that names a key, so the
// prompt shows whose key it is.
void LabelEntries(const GpgSetup& setup, StringList& entries) {
  for (std::string& entry : entries) {
    if (IsHiddenRecipient(entry) || NamesSymmetricLayer(entry)) continue;
    const std::string userId = GetKeyUserId(setup, entry);
    if (!userId.empty()) entry += " " + userId;
  }
}

std::string FirstWord(const std::string& text) { return FieldOf(0, text, ' ', ""); }

// A short key ID as the blending check compares it: without "0x", upper case.
std::string Comparable(const std::string& shortId) {
  std::string id = shortId.starts_with("0x") || shortId.starts_with("0X") ? shortId.substr(2) : shortId;
  for (char& c : id) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return id;
}

std::string ShortIdOrMissing(const GpgSetup& setup, const std::string& key) {
  if (key.empty()) return "0x";
  const std::string id = ShortKeyId(setup, key);
  return id.empty() ? "0x" : id;
}

bool NoticeSilenced(const GpgSetup& setup, std::string_view key) {
  StringList silenced;
  silenced.SetCommaText(Settings(setup.settingsFile).Text("dontshow"));
  return std::any_of(silenced.begin(), silenced.end(),
                     [&](const std::string& item) { return SameNameIgnoringCase(item, std::string(key)); });
}

std::vector<std::string> SplitPasswords(const std::string& passwords) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const auto comma = passwords.find(',', start);
    std::string item = passwords.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (item.empty()) break;
    items.push_back(std::move(item));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

void WipeAll(std::vector<std::string>& texts) {
  for (std::string& text : texts) WipeText(text);
  texts.clear();
}

// Recalls the passphrase for `cacheId`; "" when nothing (or an empty text)
// is kept.
std::string Recall(const DecryptEnvironment& env, const std::string& cacheId) {
  std::string passphrase;
  if (env.cache != nullptr && !env.cache->Lookup(cacheId, &passphrase)) WipeText(passphrase);
  return passphrase;
}

void Remember(const DecryptEnvironment& env, const std::string& cacheId, std::string& passphrase) {
  if (env.cache != nullptr && !cacheId.empty() && !passphrase.empty()) env.cache->Add(cacheId, passphrase);
  WipeText(passphrase);
}

void Status(const DecryptEnvironment& env, std::string_view status) { env.prompts->ShowStatus(std::string(status)); }

// Judges the nymserver's signature of the layer just opened, from that
// run's status, and warns when it is not the nymserver's good signature.
void CheckNymserverSignature(const DecryptEnvironment& env, const SubjectLine& subject,
                             const StringList& statusLines, NymDecryptOutcome& outcome) {
  const SignatureVerdict verdict = JudgeSignature(statusLines, NymserverKeyId(env.setup, subject.keyid));
  outcome.nymserverSigned = verdict == SignatureVerdict::kNymserverGood;
  if (Settings(env.setup.settingsFile).Flag("IGNORECKT")) return;
  if (verdict == SignatureVerdict::kNone) {
    MsgDialog(std::string(kSignatureMissing), MsgKind::Warning, kMbOk);
  } else if (verdict == SignatureVerdict::kNotNymserver) {
    env.prompts->ShowSignatureWarning(outcome.verification);
  }
}

// Opens the Encrypt-Key layers with the subject line's passwords and lists
// the recipients of what is inside. False when the user stopped or a layer
// would not open (reported).
bool PeelEncryptKeyLayers(const DecryptEnvironment& env, const SubjectLine& subject, StringList& lines,
                          StringList& keys) {
  std::string passwords = subject.kphrase;
  if (passwords.find(',') != std::string::npos && !NoticeSilenced(env.setup, kCommaNoticeKey) &&
      env.prompts->ShowNotice(std::string(kCommaNoticeKey), std::string(kCommaNoticeCaption),
                              std::string(kCommaNoticeText), true) != kMrOk) {
    WipeText(passwords);
    return false;
  }
  const bool peeled = StripSymmetricLayers(env, lines, passwords);
  WipeText(passwords);
  if (!peeled) return false;
  if (!GPGIsPGPMessage(lines)) {
    MsgDialog(std::string(kNoInnerMessage), MsgKind::Information, kMbOk);
    return false;
  }
  StripDecryptedBanners(lines);
  keys.Clear();
  Status(env, kStatusGettingKeys);
  return ListEncryptionKeys(env.setup, lines, keys);
}

}  // namespace

bool DecryptMessage(const DecryptEnvironment& env, StringList& lines) {
  if (GPGIsClearSigned(lines)) {
    Status(env, kStatusVerifying);
    WaitProcessing(100);
    const bool verified = VerifyClear(env.setup, lines);
    Status(env, "");
    return verified;
  }
  Status(env, kStatusGettingKeys);
  StringList keys;
  if (!ListEncryptionKeys(env.setup, lines, keys)) {
    Status(env, "");
    MsgDialog(std::string(kNoKeysOrdinary), MsgKind::Error, kMbOk);
    return false;
  }
  LabelEntries(env.setup, keys);
  const std::string cacheId = FirstWord(keys[0]);
  std::string passphrase = Recall(env, cacheId);
  for (int attempt = 1; attempt <= kMessageAttempts; ++attempt) {
    if (passphrase.empty()) {
      passphrase = env.prompts->AskPassphrase(MessagePassphrasePrompt(keys));
      if (passphrase.empty()) break;
    }
    Status(env, kStatusDecrypting);
    StringList diagnostics;
    if (Decrypt(env.setup, lines, passphrase, &diagnostics)) {
      Remember(env, cacheId, passphrase);
      Status(env, "");
      return true;
    }
    WaitProcessing(500);
    Status(env, "");
    WipeText(passphrase);
    if (!WrongPassphrase(diagnostics)) {
      ShowGPGDiagnostics(diagnostics);
      break;
    }
    MsgDialog(std::string(kBadPassphraseInfo), MsgKind::Information, kMbOk);
  }
  WipeText(passphrase);
  Status(env, "");
  return false;
}

bool StripSymmetricLayers(const DecryptEnvironment& env, StringList& lines, const std::string& passwords) {
  Status(env, kStatusDecrypting);
  std::vector<std::string> items = SplitPasswords(passwords);
  bool ok = true;
  for (std::size_t i = 0; i < items.size() && ok; ++i) {
    StringList diagnostics;
    if (Decrypt(env.setup, lines, items[i], &diagnostics)) continue;
    ok = false;
    if (!WrongPassphrase(diagnostics)) {
      ShowGPGDiagnostics(diagnostics);
    } else if (items.size() == 1) {
      MsgDialog(std::string(kBadPassphraseError), MsgKind::Error, kMbOk);
    } else {
      MsgDialog(std::string(kBadPassphraseAtPosition) + std::to_string(i + 1) + ".   ", MsgKind::Error, kMbOk);
    }
  }
  WipeAll(items);
  Status(env, "");
  return ok;
}

NymDecryptOutcome DecryptNymMessage(const DecryptEnvironment& env, const SubjectLine& subject, StringList& lines) {
  NymDecryptOutcome outcome;
  // A verification block already in the text proves nothing (anyone can
  // write one into an article), so every message gets the full checks.
  if (GPGIsClearSigned(lines)) {
    Status(env, kStatusVerifying);
    outcome.ok = VerifyClear(env.setup, lines);
    Status(env, "");
    return outcome;
  }
  Status(env, kStatusGettingKeys);
  StringList keys;
  if (!ListEncryptionKeys(env.setup, lines, keys) || keys.empty()) {
    Status(env, "");
    MsgDialog(std::string(kNoKeysNym), MsgKind::Error, kMbOk);
    return outcome;
  }
  if (NamesSymmetricLayer(keys[0]) && subject.ekey && !PeelEncryptKeyLayers(env, subject, lines, keys)) {
    Status(env, "");
    return outcome;
  }
  WaitProcessing(10);
  const bool ignoreCkt = Settings(env.setup.settingsFile).Flag("IGNORECKT");
  const bool throwKeyids = IsHiddenRecipient(keys[0]);
  if (throwKeyids) {
    keys[0] = subject.keyid;
  } else if (!NamesSymmetricLayer(keys[0])) {
    CheckBlending(env, subject.keyid, keys[0]);
  } else if (!ignoreCkt && MsgDialog(std::string(kUnexplainedSymmetricLayer), MsgKind::Information,
                                     kMbOkCancel) != kMrOk) {
    Status(env, "");
    return outcome;
  }

  const std::string cacheId = keys[0];
  std::string passphrase = Recall(env, cacheId);
  bool labelled = false;
  for (int attempt = 1; attempt <= kNymAttempts; ++attempt) {
    if (passphrase.empty()) {
      if (!labelled) LabelEntries(env.setup, keys);
      labelled = true;
      passphrase = env.prompts->AskPassphrase(NymPassphrasePrompt(keys, throwKeyids));
      if (passphrase.empty()) break;
    }
    Status(env, kStatusDecrypting);
    WaitProcessing(10);
    StringList diagnostics;
    StringList runErrorLines;
    if (Decrypt(env.setup, lines, passphrase, &diagnostics, &runErrorLines)) {
      outcome.ok = true;
      const std::string opener = throwKeyids ? AnonymousRecipientKey(runErrorLines) : FirstWord(keys[0]);
      if (throwKeyids) CheckBlending(env, subject.keyid, opener);
      // A subkey's ID names its primary key, as the user knows it.
      const std::string primary = opener.empty() ? std::string() : ShortKeyId(env.setup, opener);
      outcome.openedBy = primary.empty() ? opener : primary;
      Remember(env, cacheId, passphrase);
      Status(env, "");
      outcome.verification = BuildVerificationBlock(runErrorLines);
      StringList errorLines;
      StringList statusLines;
      SplitDiagnostics(diagnostics, &errorLines, &statusLines);
      CheckNymserverSignature(env, subject, statusLines, outcome);
      return outcome;
    }
    WaitProcessing(500);
    Status(env, "");
    WipeText(passphrase);
    if (WrongPassphrase(diagnostics)) {
      MsgDialog(std::string(kBadPassphraseInfo), MsgKind::Information, kMbOk);
    } else {
      ShowGPGDiagnostics(diagnostics);
    }
  }
  WipeText(passphrase);
  Status(env, "");
  return outcome;
}

void StripDecryptedBanners(StringList& lines) {
  std::size_t start = static_cast<std::size_t>(TMsgManager(lines).HeaderEnd()) + 1;
  if (FindMarker(lines, BeginPGPDecryptedMessage) >= 0) {
    while (start < lines.size() && (IsBlankLine(lines[start]) || lines[start] == BeginPGPDecryptedMessage ||
                                    lines[start] == "**")) {
      lines.Delete(start);
    }
  }
  if (FindMarker(lines, EndPGPDecryptedMessage) >= 0) {
    while (!lines.empty() && (IsBlankLine(lines[lines.size() - 1]) ||
                              lines[lines.size() - 1] == EndPGPDecryptedMessage)) {
      lines.Delete(lines.size() - 1);
    }
  }
}

bool CheckBlending(const DecryptEnvironment& env, const std::string& nymKeyId, const std::string& messageKeyId) {
  const std::string nymShort = ShortIdOrMissing(env.setup, nymKeyId);
  const std::string messageShort = ShortIdOrMissing(env.setup, messageKeyId);
  if (Comparable(nymShort) == Comparable(messageShort)) return true;
  const auto describe = [&](const std::string& shortId, const std::string& key) {
    return shortId + " " + (key.empty() ? std::string() : GetKeyUserId(env.setup, key));
  };
  env.prompts->ShowBlendingWarning(describe(nymShort, nymKeyId), describe(messageShort, messageKeyId));
  return false;
}

}  // namespace fhr
