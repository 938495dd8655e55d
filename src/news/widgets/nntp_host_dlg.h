#pragma once
// The news account dialog: one account's name, server, port, TLS mode,
// authentication and last article number, checked before it is kept.
#include <string>
#include <vector>

#include "core/stringlist.h"
#include "core/widgets/placed_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace fhr {

class TFHRDB;

class TNNTPHostDlg : public PlacedDialog {
  Q_OBJECT
 public:
  // Edits `record` (a new record should come from NewAccountRecord).
  // `otherNames` are the names of the other accounts; `existing` makes the
  // last article number editable. The proxy button opens the proxy manager
  // on `db`. The record is changed only when the dialog ends accepted.
  TNNTPHostDlg(StringList& record, std::vector<std::string> otherNames, bool existing, TFHRDB& db,
               Settings& settings, QWidget* parent);

  // Ok without a change counts as Cancel; Cancel with changes asks whether
  // to save; Ok (or Yes) checks the account and keeps the dialog open on a
  // problem, in the order the user reads the checks.
  void done(int result) override;

 private:
  StringList FormRecord() const;
  bool CheckAndStore();

  StringList& record_;
  std::vector<std::string> otherNames_;
  TFHRDB& db_;
  StringList loaded_;
  QLineEdit* key_;
  QLineEdit* server_;
  QLineEdit* port_;
  QCheckBox* auth_;
  QLineEdit* userId_;
  QLineEdit* password_;
  QCheckBox* hideBox_;
  QComboBox* tls_;
  QLineEdit* lastArticle_;
};

}  // namespace fhr
