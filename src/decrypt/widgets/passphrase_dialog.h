#pragma once
// The desktop's passphrase prompt (" Decrypt Message"): the keys a message
// is encrypted with, the passphrase typed hidden or shown, and for a
// throw-keyids message a link that explains it.
#include <QDialog>

#include "decrypt/decrypt_prompts.h"

class QCheckBox;
class QLineEdit;

namespace fhr {

class PassphraseDialog : public QDialog {
  Q_OBJECT

 public:
  PassphraseDialog(const KeyPassphraseRequest& prompt, QWidget* parent);
  // The passphrase is overwritten before the widget lets go of it.
  ~PassphraseDialog() override;

  // The typed passphrase as UTF-8 (the caller wipes it).
  std::string Passphrase() const;

  // OK with an empty passphrase is refused with an information box.
  void accept() override;

 private:
  QCheckBox* hideBox_;
  QLineEdit* phrase_;
};

// The desktop's answers to the decryption workflow: the passphrase dialog;
// the warnings and notices keep their message-box defaults.
class QtDecryptPrompts : public DecryptPrompts {
 public:
  explicit QtDecryptPrompts(QWidget* owner) : owner_(owner) {}
  std::string AskPassphrase(const KeyPassphraseRequest& prompt) override;

 private:
  QWidget* owner_;
};

}  // namespace fhr
