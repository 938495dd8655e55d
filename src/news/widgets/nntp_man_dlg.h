#pragma once
// The news account manager: the list of accounts with new, edit and delete,
// and the choice of the active account. It works on its own copy of the
// accounts and writes the "hosts" record only when it closes with saving;
// the active account is written to the settings at every choice.
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/stringlist.h"
#include "core/widgets/placed_dialog.h"

class QPushButton;
class QTreeWidget;

namespace fhr {

class NameBox;
class TFHRDB;

class TNNTPManDlg : public PlacedDialog {
  Q_OBJECT
 public:
  TNNTPManDlg(TFHRDB& db, Settings& settings, const ResolvedPaths& paths, QWidget* parent);

  // Done saves the changed list and ends accepted; Cancel (or the close
  // box) with changes asks whether to save them. Closing without saving
  // never leaves the active account naming an account that is not stored.
  void done(int result) override;

 signals:
  // An account was renamed and became the active account.
  void accountRenamed(const std::string& from, const std::string& to);

 private:
  void AddRow(const StringList& record);
  void ShowRow(int row);
  std::vector<std::string> RowNames(int except) const;
  void FillHostBox(const std::vector<std::string>& names);
  void NewAccount();
  void EditAccount();
  void DeleteAccount();
  void UpdateButtons();
  void Save();
  std::vector<std::string> StoredNames() const;

  TFHRDB& db_;
  std::vector<StringList> records_;  // one per row, in row order
  bool changed_ = false;
  std::string openingAccount_;
  QTreeWidget* list_;
  NameBox* hostBox_;
  QPushButton* editBtn_;
  QPushButton* deleteBtn_;
  QAction* editItem_;
  QAction* deleteItem_;
};

}  // namespace fhr
