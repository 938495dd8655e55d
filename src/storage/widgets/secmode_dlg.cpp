#include "storage/widgets/secmode_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "core/text_helpers.h"

namespace fhr {
namespace {

// The typed text as UTF-8; the field is overwritten with blanks before it
// is emptied, so the widget's own buffer does not keep the secret.
std::string TakeSecret(QLineEdit* field) {
  QByteArray bytes = field->text().toUtf8();
  std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  bytes.fill('\0');
  field->setText(QString(field->text().size(), ' '));
  field->clear();
  return text;
}

class SecModeWidget : public QDialog {
 public:
  explicit SecModeWidget(TDBSecModeDlg& dialog) : QDialog(QApplication::activeWindow()), dialog_(dialog) {
    const SecModeDlgLayout layout = dialog.Layout();
    setObjectName("TDBSecModeDlg");
    setWindowTitle(QString::fromUtf8(layout.caption));
    auto* column = new QVBoxLayout(this);
    phrase_ = new QLineEdit;
    phrase_->setObjectName("PassEdit");
    phrase_->setEchoMode(QLineEdit::Password);
    phrase_->setMinimumWidth(300);
    auto* label = new QLabel(QString::fromUtf8(layout.prompt));
    label->setBuddy(phrase_);
    column->addWidget(label);
    column->addWidget(phrase_);
    if (layout.fullForm) {
      quality_ = new QProgressBar;
      quality_->setObjectName("QualityBar");
      quality_->setRange(0, 100);
      quality_->setValue(0);
      quality_->setFormat("Quality");
      column->addWidget(quality_);
      confirm_ = new QLineEdit;
      confirm_->setObjectName("ConfirmEdit");
      confirm_->setEchoMode(QLineEdit::Password);
      auto* confirmLabel = new QLabel("&Confirm passphrase");
      confirmLabel->setBuddy(confirm_);
      column->addWidget(confirmLabel);
      column->addWidget(confirm_);
      connect(phrase_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QByteArray bytes = text.toUtf8();
        quality_->setValue(PassphraseQuality(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
      });
    }
    if (layout.quitBox) {
      quit_ = new QCheckBox("&Quit Secure Mode");
      quit_->setObjectName("QuitBox");
      column->addWidget(quit_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("OkBtn");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("CancelBtn");
    connect(buttons, &QDialogButtonBox::accepted, this, &SecModeWidget::PressOk);
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(kMrCancel); });
    column->addWidget(buttons);
  }

  ~SecModeWidget() override {
    TakeSecret(phrase_);
    if (confirm_) TakeSecret(confirm_);
  }

 private:
  void PressOk() {
    SecModeEntry entry;
    entry.phrase = TakeSecret(phrase_);
    if (confirm_) entry.confirmation = TakeSecret(confirm_);
    entry.quitSecureMode = quit_ && quit_->isChecked();
    const TDBSecModeDlg::Check check = dialog_.PressOk(entry);
    if (check.close) {
      done(check.result);
      return;
    }
    if (check.resetQuality && quality_) quality_->setValue(0);
    phrase_->setFocus();
  }

  TDBSecModeDlg& dialog_;
  QLineEdit* phrase_ = nullptr;
  QLineEdit* confirm_ = nullptr;
  QProgressBar* quality_ = nullptr;
  QCheckBox* quit_ = nullptr;
};

}  // namespace

int QtSecModePrompt::Show(TDBSecModeDlg& dialog) {
  SecModeWidget widget(dialog);
  const int result = widget.exec();
  return result == QDialog::Rejected ? kMrCancel : result;
}

}  // namespace fhr
