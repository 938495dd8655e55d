#pragma once
// The keyring dialog: where GnuPG finds the secret and public keyrings, kept
// only in gpg.conf. When the companion program is installed it owns
// gpg.conf, and the dialog only shows the keyrings.
#include "core/paths.h"
#include "core/widgets/placed_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace fhr {

class TKeyringDlg : public PlacedDialog {
  Q_OBJECT
 public:
  TKeyringDlg(const ResolvedPaths& paths, Settings& settings, QWidget* parent);

  // gpg.conf was written when the dialog closed.
  bool Written() const { return written_; }

  // Nothing changed: closes. Changed and Ok: writes gpg.conf. Changed and
  // Cancel (or the close box): asks whether to save. A gpg.conf that cannot
  // be written is reported and the dialog stays open.
  void done(int result) override;

 private:
  void UpdateOk();
  void Browse(QLineEdit* field, const QLineEdit* other, bool secret);
  bool Write();

  ResolvedPaths paths_;
  bool written_ = false;
  QLineEdit* secring_;
  QLineEdit* pubring_;
  QPushButton* okBtn_;
};

// Shows the keyring dialog; true when gpg.conf was written with changed
// keyrings.
bool EditKeyrings(const ResolvedPaths& paths, Settings& settings, QWidget* parent);

}  // namespace fhr
