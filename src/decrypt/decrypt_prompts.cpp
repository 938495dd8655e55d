#include "decrypt/decrypt_prompts.h"

#include "core/msgdialog.h"
#include "decrypt/decrypt_texts.h"

namespace fhr {

KeyPassphraseRequest NymPassphrasePrompt(const StringList& entries, bool throwKeyids) {
  KeyPassphraseRequest prompt;
  prompt.caption = kNymPromptCaption;
  prompt.entries = entries;
  prompt.throwKeyids = throwKeyids;
  prompt.keysLabel = throwKeyids ? kThrowKeyidsKeyLabel : kNymKeyLabel;
  prompt.explanation = throwKeyids ? kThrowKeyidsExplanation : kNymPromptExplanation;
  return prompt;
}

KeyPassphraseRequest MessagePassphrasePrompt(const StringList& entries) {
  KeyPassphraseRequest prompt;
  prompt.caption = kMessagePromptCaption;
  prompt.keysLabel = kMessageKeysLabel;
  prompt.entries = entries;
  return prompt;
}

std::string AddressedToLine(const std::string& addressedTo) { return std::string(kAddressedToLabel) + addressedTo; }

std::string EncryptedToLine(const std::string& encryptedTo) { return std::string(kEncryptedToLabel) + encryptedTo; }

void DecryptPrompts::ShowStatus(const std::string& /*status*/) {}

void DecryptPrompts::ShowBlendingWarning(const std::string& addressedTo, const std::string& encryptedTo) {
  MsgDialog(std::string(kBlendingTitle) + " " + std::string(kBlendingSubtitle) + "\n\n" +
                AddressedToLine(addressedTo) + "\n" + EncryptedToLine(encryptedTo) + "\n\n" +
                std::string(kBlendingExplanation),
            MsgKind::Warning, kMbOk);
}

void DecryptPrompts::ShowSignatureWarning(const StringList& verificationLines) {
  std::string text = std::string(kSignatureTitle) + "\n" + std::string(kSignatureNotSigned) + "\n\n";
  for (const std::string& line : verificationLines) text += line + "\n";
  text += "\n" + std::string(kSignatureExplanation);
  MsgDialog(text, MsgKind::Warning, kMbOk);
}

int DecryptPrompts::ShowNotice(const std::string& /*key*/, const std::string& caption, const std::string& text,
                               bool withCancel) {
  return MsgDialog(caption + "\n\n" + text, MsgKind::Information, withCancel ? kMbOkCancel : kMbOk);
}

}  // namespace fhr
