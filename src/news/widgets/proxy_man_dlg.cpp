#include "news/widgets/proxy_man_dlg.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "core/widgets/name_box.h"
#include "core/widgets/settings_widgets.h"
#include "news/proxy_record.h"
#include "news/widgets/proxy_dlg.h"
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

}  // namespace

TProxyManDlg::TProxyManDlg(TFHRDB& db, Settings& settings, QWidget* parent)
    : PlacedDialog(settings, "proxymandlg", true, parent), db_(db) {
  setObjectName("ProxyManDlg");
  setWindowTitle("NNTP Proxy Manager");
  list_ = new QTreeWidget;
  list_->setObjectName("ListView");
  list_->setHeaderLabels({"Name", "Host", "Port", "Socks"});
  list_->setRootIsDecorated(false);
  list_->setAllColumnsShowFocus(true);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->header()->resizeSection(0, 130);
  list_->header()->resizeSection(1, 150);
  list_->header()->resizeSection(2, 60);
  ApplyFontString(list_, settings.Text("windowfont"));
  nntpBox_ = new NameBox;
  nntpBox_->setObjectName("NNTPBox");
  nntpBox_->setMinimumWidth(140);
  auto* boxLabel = new QLabel("&Active proxy");
  boxLabel->setBuddy(nntpBox_);
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
  active->addWidget(boxLabel);
  active->addWidget(nntpBox_);
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

  StringList proxies;
  db_.ReadProxies(proxies);
  FillProxyBox(proxies);
  openingProxy_ = settings_.Text("nntpproxy");
  for (std::size_t i = 0; i < proxies.size(); ++i) {
    StringList record;
    record.SetCommaText(proxies.ValueFromIndex(i));
    if (record.Value("proxy").empty()) record.SetValue("proxy", proxies.Name(i));
    AddRow(record);
  }
  UpdateButtons();
  QTimer::singleShot(200, this, &TProxyManDlg::CheckActive);

  connect(nntpBox_, &NameBox::chosen, this, [this](const std::string& name) {
    settings_.SetText("nntpproxy", name);
    changed_ = true;
  });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &TProxyManDlg::UpdateButtons);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &TProxyManDlg::EditProxy);
  connect(newBtn, &QPushButton::clicked, this, &TProxyManDlg::NewProxy);
  connect(newItem, &QAction::triggered, this, &TProxyManDlg::NewProxy);
  connect(editBtn_, &QPushButton::clicked, this, &TProxyManDlg::EditProxy);
  connect(editItem_, &QAction::triggered, this, &TProxyManDlg::EditProxy);
  connect(deleteBtn_, &QPushButton::clicked, this, &TProxyManDlg::DeleteProxy);
  connect(deleteItem_, &QAction::triggered, this, &TProxyManDlg::DeleteProxy);
  connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TProxyManDlg::FillProxyBox(const StringList& keyed) {
  nntpBox_->SetNames(NameBoxEntries(keyed, false));
  CheckActive();
}

void TProxyManDlg::CheckActive() {
  const std::string active = settings_.Text("nntpproxy");
  if (nntpBox_->SelectName(active)) return;
  MsgDialog(MissingProxyText(active), MsgKind::Warning, kMbOk);
  nntpBox_->SelectName(kNoneName);
  settings_.SetText("nntpproxy", kNoneName);
}

void TProxyManDlg::AddRow(const StringList& record) {
  records_.push_back(record);
  list_->addTopLevelItem(new QTreeWidgetItem);
  ShowRow(list_->topLevelItemCount() - 1);
}

void TProxyManDlg::ShowRow(int row) {
  const StringList& r = records_[static_cast<std::size_t>(row)];
  QTreeWidgetItem* item = list_->topLevelItem(row);
  item->setText(0, DisplayText(r.Value("proxy")));
  item->setText(1, DisplayText(r.Value("host")));
  item->setText(2, DisplayText(r.Value("port")));
  item->setText(3, DisplayText(r.Value("socks")));
}

std::vector<std::string> TProxyManDlg::RowNames(int except) const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < records_.size(); ++i) {
    if (static_cast<int>(i) != except) names.push_back(records_[i].Value("proxy"));
  }
  return names;
}

int TProxyManDlg::SelectedRow() const {
  QTreeWidgetItem* item = list_->currentItem();
  return item != nullptr && item->isSelected() ? list_->indexOfTopLevelItem(item) : -1;
}

void TProxyManDlg::UpdateButtons() {
  const bool selected = SelectedRow() >= 0;
  editBtn_->setEnabled(selected);
  deleteBtn_->setEnabled(selected);
  editItem_->setEnabled(selected);
  deleteItem_->setEnabled(selected);
}

void TProxyManDlg::NewProxy() {
  StringList record;
  TProxyDlg dialog("New Proxy", record, RowNames(-1), settings_, this);
  if (dialog.exec() != Accepted) return;
  AddRow(record);
  changed_ = listChanged_ = true;
  StringList keyed;
  for (const std::string& name : RowNames(-1)) keyed.Add(name + "=");
  FillProxyBox(keyed);
}

void TProxyManDlg::EditProxy() {
  const int row = SelectedRow();
  if (row < 0) return;
  StringList record = records_[static_cast<std::size_t>(row)];
  const std::string oldName = record.Value("proxy");
  TProxyDlg dialog("Editing Proxy", record, RowNames(row), settings_, this);
  if (dialog.exec() != Accepted) return;
  const std::string newName = record.Value("proxy");
  if (newName != oldName && SameNameIgnoringCase(nntpBox_->CurrentName(), oldName)) {
    nntpBox_->RenameName(oldName, newName);
    settings_.SetText("nntpproxy", newName);
  } else if (newName != oldName) {
    nntpBox_->RenameName(oldName, newName);
    nntpBox_->SelectName(settings_.Text("nntpproxy"));
  }
  records_[static_cast<std::size_t>(row)] = record;
  ShowRow(row);
  changed_ = listChanged_ = true;
}

void TProxyManDlg::DeleteProxy() {
  const int row = SelectedRow();
  if (row < 0) return;
  const std::string name = records_[static_cast<std::size_t>(row)].Value("proxy");
  if (MsgDialog("Delete the proxy, " + name + "?  \n", MsgKind::Confirmation, kMbOkCancel) != kMrOk) return;
  delete list_->takeTopLevelItem(row);
  records_.erase(records_.begin() + row);
  list_->clearSelection();
  list_->setCurrentItem(nullptr);
  UpdateButtons();
  changed_ = listChanged_ = true;
  if (SameNameIgnoringCase(nntpBox_->CurrentName(), name)) {
    nntpBox_->SelectName(kNoneName);
    settings_.SetText("nntpproxy", kNoneName);
    WaitProcessing(200);
    MsgDialog("That was your default NNTP proxy. Now, there's none assigned.  ", MsgKind::Warning, kMbOk);
  }
  nntpBox_->RemoveName(name);
}

void TProxyManDlg::done(int result) {
  bool save = result == Accepted && listChanged_;
  if (result != Accepted && listChanged_) {
    const int answer = MsgDialog("Your proxy info has been modified. Save your changes?   \n", MsgKind::Confirmation,
                                 kMbYesNoCancel);
    if (answer == kMrCancel) return;
    save = answer == kMrYes;
  }
  if (save) {
    StringList proxies;
    for (const StringList& record : records_) proxies.Add(record.Value("proxy") + "=" + ProxyRecordCommaText(record));
    db_.WriteProxies(proxies);
  } else {
    // A rename or a new proxy that was not saved must not stay active.
    StringList stored;
    db_.ReadProxies(stored);
    const std::string active = settings_.Text("nntpproxy");
    if (active != kNoneName && stored.IndexOfName(active) < 0) settings_.SetText("nntpproxy", openingProxy_);
  }
  PlacedDialog::done(result);
}

}  // namespace fhr
