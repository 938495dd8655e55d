#include "decrypt/widgets/passphrase_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "decrypt/decrypt_texts.h"

namespace fhr {

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

PassphraseDialog::PassphraseDialog(const KeyPassphraseRequest& prompt, QWidget* parent) : QDialog(parent) {
  setWindowTitle(Text(prompt.caption));
  auto* layout = new QVBoxLayout(this);

  auto* keysLabel = new QLabel(Text(prompt.keysLabel), this);
  auto* keyBox = new QPlainTextEdit(this);
  keyBox->setObjectName("KeyBox");
  keyBox->setReadOnly(true);
  keyBox->setFocusPolicy(Qt::NoFocus);
  keyBox->setLineWrapMode(QPlainTextEdit::NoWrap);
  keyBox->setPlainText(QString::fromUtf8(prompt.entries.Text()).trimmed());
  keysLabel->setBuddy(keyBox);
  layout->addWidget(keysLabel);
  layout->addWidget(keyBox);

  phrase_ = new QLineEdit(this);
  phrase_->setObjectName("Phrase");
  phrase_->setEchoMode(QLineEdit::Password);
  auto* phraseLabel = new QLabel(Text(kPassphraseLabel), this);
  phraseLabel->setBuddy(phrase_);
  hideBox_ = new QCheckBox(Text(kHideTypingLabel), this);
  hideBox_->setObjectName("HideBox");
  hideBox_->setChecked(true);
  hideBox_->setFocusPolicy(Qt::NoFocus);
  connect(hideBox_, &QCheckBox::toggled, this,
          [this](bool hide) { phrase_->setEchoMode(hide ? QLineEdit::Password : QLineEdit::Normal); });
  layout->addWidget(phraseLabel);
  layout->addWidget(phrase_);
  layout->addWidget(hideBox_);

  if (!prompt.explanation.empty()) {
    auto* explanation = new QLabel(Text(prompt.explanation), this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
  }
  if (prompt.throwKeyids) {
    auto* link = new QLabel("<a href=\"#\">" + Text(kThrowKeyidsLink) + "</a>", this);
    link->setObjectName("ThrowKeyidsLink");
    connect(link, &QLabel::linkActivated, this,
            [] { MsgDialog(std::string(kThrowKeyidsHelp), MsgKind::Information, kMbOk); });
    layout->addWidget(link);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText("Ok");
  buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  phrase_->setFocus();
}

PassphraseDialog::~PassphraseDialog() {
  // Leave blanks, not the passphrase, in the widget's buffer.
  phrase_->setText(QString(phrase_->text().size(), QLatin1Char(' ')));
  phrase_->clear();
}

std::string PassphraseDialog::Passphrase() const { return phrase_->text().toUtf8().toStdString(); }

void PassphraseDialog::accept() {
  if (phrase_->text().isEmpty()) {
    MsgDialog(std::string(kEmptyPassphraseRefused), MsgKind::Information, kMbOk);
    return;
  }
  QDialog::accept();
}

std::string QtDecryptPrompts::AskPassphrase(const KeyPassphraseRequest& prompt) {
  PassphraseDialog dialog(prompt, owner_);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.Passphrase();
}

}  // namespace fhr
