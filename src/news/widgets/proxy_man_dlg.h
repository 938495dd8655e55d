#pragma once
// The proxy manager: the list of SOCKS proxies with new, edit and delete,
// and the choice of the active proxy. It works on its own rows and writes
// the "proxies" record only when it closes with saving; the active proxy is
// written to the settings at once on every change.
#include <string>
#include <vector>

#include "core/stringlist.h"
#include "core/widgets/placed_dialog.h"

class QPushButton;
class QTreeWidget;

namespace fhr {

class NameBox;
class TFHRDB;

class TProxyManDlg : public PlacedDialog {
  Q_OBJECT
 public:
  TProxyManDlg(TFHRDB& db, Settings& settings, QWidget* parent);

  // Anything changed, the active proxy included: the caller refills its box.
  bool Changed() const { return changed_; }

  // Done saves the list; Cancel (or the close box) after changes asks
  // whether to save them. Closing without saving never leaves the active
  // proxy naming a proxy that is not stored.
  void done(int result) override;

 private:
  void AddRow(const StringList& record);
  void ShowRow(int row);
  std::vector<std::string> RowNames(int except) const;
  void FillProxyBox(const StringList& keyed);
  void CheckActive();
  void NewProxy();
  void EditProxy();
  void DeleteProxy();
  void UpdateButtons();
  int SelectedRow() const;

  TFHRDB& db_;
  std::vector<StringList> records_;
  bool changed_ = false;
  bool listChanged_ = false;
  std::string openingProxy_;
  QTreeWidget* list_;
  NameBox* nntpBox_;
  QPushButton* editBtn_;
  QPushButton* deleteBtn_;
  QAction* editItem_;
  QAction* deleteItem_;
};

}  // namespace fhr
