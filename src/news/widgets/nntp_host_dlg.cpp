#include "news/widgets/nntp_host_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/settings_widgets.h"
#include "news/news_account.h"
#include "news/widgets/proxy_man_dlg.h"

namespace fhr {
namespace {

QLineEdit* Field(const char* name, const QString& text) {
  auto* field = new QLineEdit(text);
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

TNNTPHostDlg::TNNTPHostDlg(StringList& record, std::vector<std::string> otherNames, bool existing, TFHRDB& db,
                           Settings& settings, QWidget* parent)
    : PlacedDialog(settings, "", false, parent), record_(record), otherNames_(std::move(otherNames)), db_(db) {
  setObjectName("NNTPHostDlg");
  setWindowTitle("NNTP Host Profile");
  const std::string port = record.Value("port").empty() ? "119" : record.Value("port");
  key_ = Field("NNTPKey", DisplayText(record.Value("key")));
  server_ = Field("NNTPServer", DisplayText(record.Value("host")));
  port_ = Field("NNTPPort", DisplayText(port));
  auth_ = new QCheckBox("&Authentication");
  auth_->setObjectName("NNTPAuth");
  auth_->setChecked(record.Value("auth") == "1");
  userId_ = Field("NNTPUserID", DisplayText(record.Value("userid")));
  password_ = Field("NNTPPassword", DisplayText(record.Value("password")));
  hideBox_ = new QCheckBox("&Hide typing");
  hideBox_->setObjectName("HideBox");
  hideBox_->setChecked(true);
  tls_ = new QComboBox;
  tls_->setObjectName("NNTPTls");
  tls_->addItems({"none", "TLS", "SSL"});
  const int tlsIndex = tls_->findText(DisplayText(record.Value("tls")), Qt::MatchFixedString);
  tls_->setCurrentIndex(tlsIndex < 0 ? 0 : tlsIndex);
  lastArticle_ = Field("NNTPLastArticle", DisplayText(record.Value("lastarticle")));
  lastArticle_->setReadOnly(!existing);
  if (!existing) {
    QPalette shaded = lastArticle_->palette();
    shaded.setColor(QPalette::Base, shaded.color(QPalette::Window));
    lastArticle_->setPalette(shaded);
  }
  const std::string windowFont = settings.Text("windowfont");
  for (QWidget* w : {static_cast<QWidget*>(key_), static_cast<QWidget*>(server_), static_cast<QWidget*>(port_),
                     static_cast<QWidget*>(userId_), static_cast<QWidget*>(password_),
                     static_cast<QWidget*>(tls_), static_cast<QWidget*>(lastArticle_)}) {
    ApplyFontString(w, windowFont);
  }

  auto* form = new QFormLayout;
  form->addRow("&Name", key_);
  form->addRow("&NNTP Server", server_);
  auto* portRow = new QHBoxLayout;
  portRow->addWidget(port_);
  auto* tlsLabel = new QLabel("&TLS/SSL");
  tlsLabel->setBuddy(tls_);
  portRow->addWidget(tlsLabel);
  portRow->addWidget(tls_);
  auto* portLabel = new QLabel("&Port");
  portLabel->setBuddy(port_);
  form->addRow(portLabel, portRow);
  form->addRow("", auth_);
  form->addRow("&User ID:", userId_);
  auto* passwordRow = new QHBoxLayout;
  passwordRow->addWidget(password_);
  passwordRow->addWidget(hideBox_);
  auto* passwordLabel = new QLabel("Pass&word");
  passwordLabel->setBuddy(password_);
  form->addRow(passwordLabel, passwordRow);
  form->addRow("&Last article number", lastArticle_);

  auto* proxyBtn = Button("ProxyBtn", "&Proxies");
  auto* okBtn = Button("OkBtn", "Ok");
  okBtn->setDefault(true);
  auto* cancelBtn = Button("CancelBtn", "Cancel");
  auto* helpBtn = Button("HelpBtn", "Help");
  helpBtn->setEnabled(false);  // the help pages come with the help window
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(proxyBtn);
  buttons->addStretch(1);
  buttons->addWidget(okBtn);
  buttons->addWidget(cancelBtn);
  buttons->addWidget(helpBtn);
  auto* column = new QVBoxLayout(this);
  column->addLayout(form);
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
  connect(server_, &QLineEdit::editingFinished, this, [this] {
    if (key_->text().isEmpty()) key_->setText(server_->text());
  });
  connect(port_, &QLineEdit::textChanged, this,
          [this](const QString& text) { tls_->setCurrentText(text == "563" ? "TLS" : "none"); });
  connect(port_, &QLineEdit::editingFinished, this, [this] {
    if (port_->text() == "563") tls_->setCurrentText("TLS");
  });
  connect(proxyBtn, &QPushButton::clicked, this, [this] {
    TProxyManDlg proxies(db_, settings_, this);
    proxies.exec();
  });
  connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  loaded_ = FormRecord();
}

StringList TNNTPHostDlg::FormRecord() const {
  StringList r;
  r.SetValue("key", StoredText(key_->text()));
  r.SetValue("host", StoredText(server_->text()));
  r.SetValue("port", StoredText(port_->text()));
  r.SetValue("lastarticle", StoredText(lastArticle_->text()));
  r.SetValue("auth", auth_->isChecked() ? "1" : "0");
  r.SetValue("userid", StoredText(userId_->text()));
  r.SetValue("password", StoredText(password_->text()));
  r.SetValue("tls", StoredText(tls_->currentText()));
  return r;
}

void TNNTPHostDlg::done(int result) {
  if (FormRecord() == loaded_) {
    PlacedDialog::done(Rejected);
    return;
  }
  if (result != Accepted) {
    const int answer = MsgDialog("Your host info is modified. Save your changes? ", MsgKind::Confirmation,
                                 kMbYesNoCancel);
    if (answer == kMrCancel) return;
    if (answer == kMrNo) {
      PlacedDialog::done(Rejected);
      return;
    }
  }
  if (CheckAndStore()) {
    password_->setText(QString(password_->text().size(), ' '));
    PlacedDialog::done(Accepted);
  }
}

bool TNNTPHostDlg::CheckAndStore() {
  StringList form = FormRecord();
  if (form.Value("host").find(':') != std::string::npos) {
    MsgDialog(CheckAccountRecord(form, {}).message, MsgKind::Information, kMbOk);
    server_->setFocus();
    return false;
  }
  CompleteAccountRecord(form);
  key_->setText(DisplayText(form.Value("key")));
  if (port_->text().isEmpty()) port_->setText("119");  // the port's change sets the TLS mode "none"
  if (PortSuggestsImplicitTls(form)) {
    if (MsgDialog("You have set the NNTP port to 563 but TLS/SSL is not set to TLS.  \nThis probably won't work. "
                  "Shall I change it to TLS?",
                  MsgKind::Confirmation, kMbYesNo) == kMrYes) {
      tls_->setCurrentText("TLS");
    } else {
      MsgDialog("Ok, but if the connection doesn't work, this is the first   \nthing you need to look at.",
                MsgKind::Information, kMbOk);
    }
    form = FormRecord();
  }
  const AccountCheck check = CheckAccountRecord(form, otherNames_);
  if (check.problem != AccountProblem::kNone) {
    MsgDialog(check.message, MsgKind::Information, kMbOk);
    if (check.problem == AccountProblem::kNoServer) server_->setFocus();
    if (check.problem == AccountProblem::kAuthWithoutCredentials) userId_->setFocus();
    if (check.problem == AccountProblem::kNameInUse) key_->setFocus();
    return false;
  }
  for (const char* field : {"key", "host", "port", "lastarticle", "auth", "userid", "password", "tls"}) {
    record_.SetValue(field, form.Value(field));
  }
  return true;
}

}  // namespace fhr
