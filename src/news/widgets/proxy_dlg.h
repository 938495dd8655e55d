#pragma once
// The proxy dialog: one SOCKS proxy's name, host, port, SOCKS version, Tor
// mark and authentication, checked before it is kept.
#include <string>
#include <vector>

#include "core/stringlist.h"
#include "core/widgets/placed_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace fhr {

class TProxyDlg : public PlacedDialog {
  Q_OBJECT
 public:
  // Edits `record` under `caption` ("New Proxy" or "Editing Proxy").
  // `otherNames` are the names of the other proxies: a new record without a
  // name is proposed the first free "proxyN", and no record may take
  // another's name. The record is changed only when the dialog ends accepted.
  TProxyDlg(const QString& caption, StringList& record, std::vector<std::string> otherNames, Settings& settings,
            QWidget* parent);

  // Ok runs the checks (and the Tor questions) and keeps the dialog open on
  // a problem; nothing changed closes as cancelled; Cancel with changes
  // asks whether to save them.
  void done(int result) override;

 private:
  StringList FormRecord() const;
  bool PassesChecks();

  StringList& record_;
  std::vector<std::string> otherNames_;
  StringList loaded_;
  QLineEdit* name_;
  QLineEdit* host_;
  QLineEdit* port_;
  QComboBox* socks_;
  QCheckBox* tor_;
  QCheckBox* auth_;
  QLineEdit* userId_;
  QLineEdit* password_;
  QCheckBox* hideBox_;
};

}  // namespace fhr
