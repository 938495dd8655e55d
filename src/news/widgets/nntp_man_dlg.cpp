#include "news/widgets/nntp_man_dlg.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/name_box.h"
#include "core/widgets/settings_widgets.h"
#include "news/news_account.h"
#include "news/widgets/nntp_host_dlg.h"
#include "storage/fhrdb.h"
#include "ui/name_boxes.h"

namespace fhr {
namespace {

QPushButton* Button(const char* name, const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

std::vector<std::string> WithNone(std::vector<std::string> names) {
  StringList keyed;
  for (const std::string& name : names) keyed.Add(name + "=");
  return NameBoxEntries(keyed, true);
}

}  // namespace

TNNTPManDlg::TNNTPManDlg(TFHRDB& db, Settings& settings, const ResolvedPaths&, QWidget* parent)
    : PlacedDialog(settings, "nntpmandlg", true, parent), db_(db) {
  setObjectName("NNTPManDlg");
  setWindowTitle(" USENET News Account Manager");
  list_ = new QTreeWidget;
  list_->setObjectName("ListView");
  list_->setHeaderLabels({"Name", "Server", "User ID"});
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->header()->resizeSection(0, 150);
  list_->header()->resizeSection(1, 200);
  ApplyFontString(list_, settings.Text("windowfont"));
  hostBox_ = new NameBox;
  hostBox_->setObjectName("HostBox");
  hostBox_->setMinimumWidth(160);
  auto* hostLabel = new QLabel("&Active account");
  hostLabel->setBuddy(hostBox_);
  auto* newBtn = Button("NewBtn", "&new");
  editBtn_ = Button("EditBtn", "&edit");
  deleteBtn_ = Button("DeleteBtn", "&delete");
  auto* okBtn = Button("OkBtn", "Done");
  okBtn->setDefault(true);
  auto* helpBtn = Button("HelpBtn", "Help");
  helpBtn->setEnabled(false);  // the help pages come with the help window

  auto* side = new QVBoxLayout;
  for (QPushButton* b : {newBtn, editBtn_, deleteBtn_}) side->addWidget(b);
  side->addStretch(1);
  side->addWidget(okBtn);
  side->addWidget(helpBtn);
  auto* top = new QHBoxLayout;
  top->addWidget(list_, 1);
  top->addLayout(side);
  auto* active = new QHBoxLayout;
  active->addWidget(hostLabel);
  active->addWidget(hostBox_);
  active->addStretch(1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(top, 1);
  column->addLayout(active);
  resize(560, 300);

  auto* menu = new QMenu(this);
  menu->setObjectName("PopupMenu1");
  QAction* newItem = menu->addAction("&New");
  editItem_ = menu->addAction("&Edit");
  deleteItem_ = menu->addAction("&Delete...");
  menu->addSeparator();
  AddSizeEntries(menu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& at) { menu->popup(list_->viewport()->mapToGlobal(at)); });

  // The stored accounts, in stored order.
  StringList hosts;
  db_.ReadHosts(hosts);
  for (std::size_t i = 0; i < hosts.size(); ++i) {
    StringList record;
    record.SetCommaText(hosts.ValueFromIndex(i));
    if (record.Value("key").empty()) record.SetValue("key", hosts.Name(i));
    AddRow(record);
  }
  FillHostBox(NameBoxEntries(hosts, true));
  openingAccount_ = settings_.Text("account");
  UpdateButtons();

  connect(hostBox_, &NameBox::chosen, this, [this](const std::string& name) { settings_.SetText("account", name); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &TNNTPManDlg::UpdateButtons);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &TNNTPManDlg::EditAccount);
  connect(newBtn, &QPushButton::clicked, this, &TNNTPManDlg::NewAccount);
  connect(newItem, &QAction::triggered, this, &TNNTPManDlg::NewAccount);
  connect(editBtn_, &QPushButton::clicked, this, &TNNTPManDlg::EditAccount);
  connect(editItem_, &QAction::triggered, this, &TNNTPManDlg::EditAccount);
  connect(deleteBtn_, &QPushButton::clicked, this, &TNNTPManDlg::DeleteAccount);
  connect(deleteItem_, &QAction::triggered, this, &TNNTPManDlg::DeleteAccount);
  connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TNNTPManDlg::FillHostBox(const std::vector<std::string>& entries) {
  hostBox_->SetNames(entries);
  const std::string active = settings_.Text("account");
  if (!hostBox_->SelectName(active)) {
    MsgDialog(MissingAccountText(active), MsgKind::Warning, kMbOk);
    hostBox_->SelectName(kNoneName);
  }
  settings_.SetText("account", hostBox_->CurrentName());
}

void TNNTPManDlg::AddRow(const StringList& record) {
  records_.push_back(record);
  list_->addTopLevelItem(new QTreeWidgetItem);
  ShowRow(list_->topLevelItemCount() - 1);
}

void TNNTPManDlg::ShowRow(int row) {
  const StringList& r = records_[static_cast<std::size_t>(row)];
  QTreeWidgetItem* item = list_->topLevelItem(row);
  item->setText(0, DisplayText(r.Value("key")));
  item->setText(1, DisplayText(r.Value("host")));
  item->setText(2, DisplayText(r.Value("userid")));
}

std::vector<std::string> TNNTPManDlg::RowNames(int except) const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (static_cast<int>(i) != except) names.push_back(records_[i].Value("key"));
  }
  return names;
}

std::vector<std::string> TNNTPManDlg::StoredNames() const {
  StringList hosts;
  db_.ReadHosts(hosts);
  std::vector<std::string> names;
  for (std::size_t i = 0; i < hosts.size(); ++i) names.push_back(hosts.Name(i));
  return names;
}

void TNNTPManDlg::UpdateButtons() {
  const bool selected = list_->currentItem() != nullptr && !list_->selectedItems().isEmpty();
  editBtn_->setEnabled(selected);
  deleteBtn_->setEnabled(selected);
  editItem_->setEnabled(selected);
  deleteItem_->setEnabled(selected);
}

void TNNTPManDlg::NewAccount() {
  StringList record = NewAccountRecord();
  TNNTPHostDlg dialog(record, RowNames(-1), false, db_, settings_, this);
  if (dialog.exec() != Accepted) return;
  record.SetValue("lastarticle", "");
  AddRow(record);
  changed_ = true;
  FillHostBox(WithNone(RowNames(-1)));
}

void TNNTPManDlg::EditAccount() {
  QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr || !item->isSelected()) return;
  const int row = list_->indexOfTopLevelItem(item);
  StringList record = records_[static_cast<std::size_t>(row)];
  const std::string oldName = record.Value("key");
  TNNTPHostDlg dialog(record, RowNames(row), true, db_, settings_, this);
  if (dialog.exec() != Accepted) return;
  const std::string newName = record.Value("key");
  if (newName != oldName && newName != hostBox_->CurrentName()) {
    hostBox_->setCurrentIndex(-1);
    WaitProcessing(100);
    hostBox_->RenameName(oldName, newName);
    settings_.SetText("account", newName);
    emit accountRenamed(oldName, newName);
  }
  records_[static_cast<std::size_t>(row)] = record;
  ShowRow(row);
  changed_ = true;
}

void TNNTPManDlg::DeleteAccount() {
  QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr || !item->isSelected()) return;
  const int row = list_->indexOfTopLevelItem(item);
  const std::string name = records_[static_cast<std::size_t>(row)].Value("key");
  if (MsgDialog("Delete the smtp host: " + name + "?   ", MsgKind::Confirmation, kMbOkCancel) != kMrOk) return;
  delete list_->takeTopLevelItem(row);
  records_.erase(records_.begin() + row);
  list_->clearSelection();
  list_->setCurrentItem(nullptr);
  changed_ = true;
  UpdateButtons();
}

void TNNTPManDlg::Save() {
  StringList hosts;
  for (const StringList& record : records_) hosts.Add(record.Value("key") + "=" + AccountRecordCommaText(record));
  db_.WriteHosts(hosts);
}

void TNNTPManDlg::done(int result) {
  if (changed_) {
    if (result == Accepted) {
      Save();
    } else {
      const int answer = MsgDialog("Your SMTP hosts info is modified. Save your changes?   ", MsgKind::Confirmation,
                                   kMbYesNoCancel);
      if (answer == kMrCancel) return;
      if (answer == kMrYes) Save();
    }
  }
  // A rename or a new account that was not saved must not stay active.
  const std::string active = settings_.Text("account");
  if (active != kNoneName && FindNameIgnoringCase(StoredNames(), active) < 0 &&
      FindNameIgnoringCase(RowNames(-1), active) >= 0) {
    settings_.SetText("account", openingAccount_);
  }
  PlacedDialog::done(result);
}

}  // namespace fhr
