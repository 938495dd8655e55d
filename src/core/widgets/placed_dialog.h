#pragma once
// The base of the program's modal dialogs: the dialog font from the
// settings, an optional placement kept under a settings name (restored when
// first shown, written when the dialog closes having been moved or
// resized), and the "Resize dialog" / "Lock size" switch of the managers.
#include <QDialog>
#include <QRect>
#include <string>

class QMenu;

namespace fhr {

class Settings;

class PlacedDialog : public QDialog {
  Q_OBJECT
 public:
  // `placement` empty: no placement. `writePlacement` false: read only.
  PlacedDialog(Settings& settings, std::string placement, bool writePlacement, QWidget* parent);

  // Adds "&Resize dialog" and "&Lock size" to `menu`, each enabled only in
  // the other state. The dialog starts with its size locked.
  void AddSizeEntries(QMenu* menu);
  bool Resizable() const { return resizable_; }
  void SetResizable(bool on);

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  Settings& settings_;

 private:
  std::string placement_;
  bool writePlacement_;
  bool placed_ = false;
  bool resizable_ = false;
  QRect shownGeometry_;
};

}  // namespace fhr
