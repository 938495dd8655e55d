#include "gnupg/widgets/keyring_dlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/settings_widgets.h"
#include "gnupg/gpg_conf.h"

namespace fhr {
namespace {

bool FileExists(const QLineEdit* field) { return QFileInfo(field->text()).isFile(); }

}  // namespace

TKeyringDlg::TKeyringDlg(const ResolvedPaths& paths, Settings& settings, QWidget* parent)
    : PlacedDialog(settings, "", false, parent), paths_(paths) {
  setObjectName("KeyringDlg");
  setWindowTitle(" PGP Keyring Manager");
  GpgConfKeyrings keyrings;
  ReadGpgConf(paths.gnupgHome, &keyrings);
  secring_ = new QLineEdit(DisplayText(keyrings.secretKeyring));
  secring_->setObjectName("Secring");
  pubring_ = new QLineEdit(DisplayText(keyrings.publicKeyring));
  pubring_->setObjectName("Pubring");
  for (QLineEdit* field : {secring_, pubring_}) {
    ApplyFontString(field, settings.Text("windowfont"));
    field->setMinimumWidth(380);
    field->setModified(false);
  }
  auto* label1 = new QLabel("&Secret Keyring");
  label1->setObjectName("Label1");
  label1->setBuddy(secring_);
  auto* label2 = new QLabel("&Public Keyring");
  label2->setObjectName("Label2");
  label2->setBuddy(pubring_);
  auto* button1 = new QPushButton("...");
  button1->setObjectName("Button1");
  auto* button2 = new QPushButton("...");
  button2->setObjectName("Button2");
  for (QPushButton* b : {button1, button2}) {
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance("...") + 24);
  }
  auto* label3 = new QLabel(
      "If you installed DOVuz into the FHL home directory you won't need to do anything here.  This program will "
      "use FHL's existing gpg.conf. Your keyrings should be present below. If this is a stand-alone application, "
      "you'll need to enter the keyring locations yourself.  Then I'll create a gpg.conf.");
  label3->setObjectName("Label3");
  label3->setWordWrap(true);
  auto* label4 = new QLabel;
  label4->setObjectName("Label4");
  label4->setWordWrap(true);
  label4->hide();
  okBtn_ = new QPushButton("Ok");
  okBtn_->setObjectName("OkBtn");
  okBtn_->setDefault(true);
  auto* cancelBtn = new QPushButton("Cancel");
  cancelBtn->setObjectName("CancelBtn");
  cancelBtn->setAutoDefault(false);
  auto* helpBtn = new QPushButton("Help");
  helpBtn->setObjectName("HelpBtn");
  helpBtn->setAutoDefault(false);
  helpBtn->setEnabled(false);  // the help pages come with the help window

  auto* grid = new QGridLayout;
  grid->addWidget(label1, 0, 0, 1, 2);
  grid->addWidget(secring_, 1, 0);
  grid->addWidget(button1, 1, 1);
  grid->addWidget(label2, 2, 0, 1, 2);
  grid->addWidget(pubring_, 3, 0);
  grid->addWidget(button2, 3, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okBtn_);
  buttons->addWidget(cancelBtn);
  buttons->addWidget(helpBtn);
  auto* column = new QVBoxLayout(this);
  column->addWidget(label3);
  column->addSpacing(6);
  column->addLayout(grid);
  column->addWidget(label4);
  column->addSpacing(8);
  column->addLayout(buttons);

  UpdateOk();
  const bool fhl = QFileInfo::exists(QString::fromStdString(paths.appDir + "fhl"));
  const bool fh = QFileInfo::exists(QString::fromStdString(paths.appDir + "fh"));
  if (fhl || fh) {
    for (QWidget* w : {static_cast<QWidget*>(secring_), static_cast<QWidget*>(pubring_),
                       static_cast<QWidget*>(button1), static_cast<QWidget*>(button2)}) {
      w->setEnabled(false);
      w->setBackgroundRole(QPalette::Window);
    }
    label4->setText(fhl ? "NOTICE: Make your keyring changes from your FHL program."
                        : "NOTICE: Make your keyring changes from your FH program.");
    label4->show();
    cancelBtn->setEnabled(false);
    okBtn_->setEnabled(true);
  }

  connect(secring_, &QLineEdit::textChanged, this, &TKeyringDlg::UpdateOk);
  connect(pubring_, &QLineEdit::textChanged, this, &TKeyringDlg::UpdateOk);
  connect(button1, &QPushButton::clicked, this, [this] { Browse(secring_, pubring_, true); });
  connect(button2, &QPushButton::clicked, this, [this] { Browse(pubring_, secring_, false); });
  connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TKeyringDlg::UpdateOk() { okBtn_->setEnabled(FileExists(secring_) && FileExists(pubring_)); }

void TKeyringDlg::Browse(QLineEdit* field, const QLineEdit* other, bool secret) {
  const QString start = FileExists(other) ? QFileInfo(other->text()).absolutePath() : QString();
  const QString filter = secret ? "Private Keyring Files (*.skr *.prvkr *.pgp *.gpg);;All Files (*)"
                                : "Public Keyring Files (*.pkr *.pubkr *.pgp *.gpg);;All Files (*)";
  const QString chosen = QFileDialog::getOpenFileName(this, QString(), start, filter);
  if (chosen.isEmpty()) return;
  field->setText(chosen);
  field->setModified(true);
}

bool TKeyringDlg::Write() {
  std::string error;
  if (WriteGpgConf(paths_.gnupgHome, paths_.appDir, StoredText(secring_->text()), StoredText(pubring_->text()),
                   &error)) {
    written_ = true;
    return true;
  }
  MsgDialog("Problem! I couldn't write gpg.conf! The error reported was:   \n" + error, MsgKind::Error, kMbOk);
  return false;
}

void TKeyringDlg::done(int result) {
  const bool modified = secring_->isModified() || pubring_->isModified();
  if (modified && result == Accepted) {
    if (!Write()) return;
  } else if (modified) {
    const int answer =
        MsgDialog("Your keyrings have changed. Save you changes?   ", MsgKind::Confirmation, kMbYesNoCancel);
    if (answer == kMrCancel) return;
    if (answer == kMrYes && !Write()) return;
  }
  PlacedDialog::done(result);
}

bool EditKeyrings(const ResolvedPaths& paths, Settings& settings, QWidget* parent) {
  TKeyringDlg dialog(paths, settings, parent);
  dialog.exec();
  return dialog.Written();
}

}  // namespace fhr
