#include "news/widgets/proxy_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/settings_widgets.h"
#include "news/proxy_record.h"

namespace fhr {
namespace {

QLineEdit* Field(const char* name, const std::string& text) {
  auto* field = new QLineEdit(DisplayText(text));
  field->setObjectName(name);
  return field;
}

QPushButton* Button(const char* name, const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TProxyDlg::TProxyDlg(const QString& caption, StringList& record, std::vector<std::string> otherNames,
                     Settings& settings, QWidget* parent)
    : PlacedDialog(settings, "", false, parent), record_(record), otherNames_(std::move(otherNames)) {
  setObjectName("ProxyDlg");
  setWindowTitle(caption);
  std::string name = record.Value("proxy");
  if (name.empty()) name = NextProxyName(otherNames_);
  name_ = Field("Name", name);
  host_ = Field("Host", record.Value("host"));
  port_ = Field("NNTPPort", record.Value("port"));
  socks_ = new QComboBox;
  socks_->setObjectName("Socks");
  socks_->addItems({"no", "4", "4a", "5"});
  const int socksIndex = socks_->findText(DisplayText(record.Value("socks")), Qt::MatchFixedString);
  socks_->setCurrentIndex(socksIndex < 0 ? 0 : socksIndex);
  tor_ = new QCheckBox("&TOR");
  tor_->setObjectName("TOR");
  tor_->setChecked(record.Value("tor") == "1");
  auth_ = new QCheckBox("&Authentication");
  auth_->setObjectName("Auth");
  auth_->setChecked(record.Value("auth") == "1");
  userId_ = Field("UserID", record.Value("userid"));
  password_ = Field("Password", record.Value("password"));
  hideBox_ = new QCheckBox("&Hide typing");
  hideBox_->setObjectName("HideBox");
  hideBox_->setChecked(true);
  const std::string windowFont = settings.Text("windowfont");
  for (QWidget* w : {static_cast<QWidget*>(host_), static_cast<QWidget*>(port_), static_cast<QWidget*>(socks_),
                     static_cast<QWidget*>(userId_), static_cast<QWidget*>(password_)}) {
    ApplyFontString(w, windowFont);
  }

  auto* form = new QFormLayout;
  form->addRow("&Name", name_);
  form->addRow("&Proxy Server", host_);
  auto* protocol = new QGroupBox("Protocol/Port");
  auto* protocolRow = new QHBoxLayout(protocol);
  auto* nntpLabel = new QLabel("NNTP");
  nntpLabel->setBuddy(port_);
  protocolRow->addWidget(nntpLabel);
  protocolRow->addWidget(port_);
  auto* socksLabel = new QLabel("&Socks");
  socksLabel->setBuddy(socks_);
  protocolRow->addWidget(socksLabel);
  protocolRow->addWidget(socks_);
  protocolRow->addWidget(tor_);
  auto* credentials = new QFormLayout;
  credentials->addRow("", auth_);
  credentials->addRow("&User ID", userId_);
  auto* passwordRow = new QHBoxLayout;
  passwordRow->addWidget(password_);
  passwordRow->addWidget(hideBox_);
  auto* passwordLabel = new QLabel("Pass&word");
  passwordLabel->setBuddy(password_);
  credentials->addRow(passwordLabel, passwordRow);

  auto* okBtn = Button("OkBtn", "Ok");
  okBtn->setDefault(true);
  auto* cancelBtn = Button("CancelBtn", "Cancel");
  auto* helpBtn = Button("HelpBtn", "Help");
  helpBtn->setEnabled(false);  // the help pages come with the help window
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okBtn);
  buttons->addWidget(cancelBtn);
  buttons->addWidget(helpBtn);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
  column->addWidget(protocol);
  column->addLayout(credentials);
  column->addSpacing(8);
  column->addLayout(buttons);

  auto applyAuth = [this] {
    const bool on = auth_->isChecked();
    userId_->setEnabled(on);
    password_->setEnabled(on);
    hideBox_->setEnabled(on);
    if (!on) hideBox_->setChecked(true);
  };
  auto applyHide = [this] {
    password_->setEchoMode(hideBox_->isChecked() ? QLineEdit::Password : QLineEdit::Normal);
  };
  applyAuth();
  applyHide();
  connect(auth_, &QCheckBox::toggled, this, applyAuth);
  connect(hideBox_, &QCheckBox::toggled, this, applyHide);
  connect(tor_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) socks_->setCurrentText("4a");
  });
  connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  loaded_ = FormRecord();
}

StringList TProxyDlg::FormRecord() const {
  StringList r;
  r.SetValue("proxy", StoredText(name_->text()));
  r.SetValue("host", StoredText(host_->text()));
  r.SetValue("port", StoredText(port_->text()));
  r.SetValue("socks", StoredText(socks_->currentText()));
  r.SetValue("tor", tor_->isChecked() ? "1" : "0");
  r.SetValue("auth", auth_->isChecked() ? "1" : "0");
  r.SetValue("userid", StoredText(userId_->text()));
  r.SetValue("password", StoredText(password_->text()));
  return r;
}

void TProxyDlg::done(int result) {
  if (result == Accepted) {
    if (!PassesChecks()) return;
    if (FormRecord() == loaded_) {
      PlacedDialog::done(Rejected);
      return;
    }
  } else {
    if (FormRecord() == loaded_) {
      PlacedDialog::done(Rejected);
      return;
    }
    const int answer = MsgDialog("Your proxy info is modified. Save your changes? ", MsgKind::Confirmation,
                                 kMbYesNoCancel);
    if (answer == kMrCancel) return;
    if (answer == kMrNo) {
      PlacedDialog::done(Rejected);
      return;
    }
    if (!PassesChecks()) return;
  }
  for (const char* field : {"proxy", "host", "port", "socks", "tor", "auth", "userid", "password"}) {
    record_.SetValue(field, FormRecord().Value(field));
  }
  password_->setText(QString(password_->text().size(), ' '));
  PlacedDialog::done(Accepted);
}

bool TProxyDlg::PassesChecks() {
  const ProxyCheck check = CheckProxyRecord(FormRecord(), otherNames_);
  if (check.problem != ProxyProblem::kNone) {
    MsgDialog(check.message, MsgKind::Information, kMbOk);
    if (check.problem == ProxyProblem::kNameInUse) name_->setFocus();
    if (check.problem == ProxyProblem::kNoHost) host_->setFocus();
    if (check.problem == ProxyProblem::kNoPort) port_->setFocus();
    if (check.problem == ProxyProblem::kNoSocks) socks_->setFocus();
    if (check.problem == ProxyProblem::kAuthWithoutCredentials) {
      (userId_->text().isEmpty() ? userId_ : password_)->setFocus();
    }
    return false;
  }
  if (LooksLikeTor(FormRecord()) &&
      MsgDialog("Your host is '127.0.0.1' and your NNTP port is '9050'.  \nIs this a TOR proxy?",
                MsgKind::Confirmation, kMbYesNo) == kMrYes) {
    tor_->setChecked(true);  // selects 4a
  }
  if (TorWithoutSocks4a(FormRecord())) {
    const int answer = MsgDialog(
        "You've indicated this is a TOR proxy but you haven't chosen  \nSocks Level 4a. TOR requires Socks 4a. "
        "Shall I correct that?   ",
        MsgKind::Confirmation, kMbYesNoCancel);
    if (answer == kMrCancel) {
      socks_->setFocus();
      return false;
    }
    if (answer == kMrYes) socks_->setCurrentText("4a");
  }
  return true;
}

}  // namespace fhr
