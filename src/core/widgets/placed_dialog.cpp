#include "core/widgets/placed_dialog.h"

#include <QAction>
#include <QMenu>

#include "core/settings.h"
#include "core/widgets/settings_widgets.h"

namespace fhr {

PlacedDialog::PlacedDialog(Settings& settings, std::string placement, bool writePlacement, QWidget* parent)
    : QDialog(parent), settings_(settings), placement_(std::move(placement)), writePlacement_(writePlacement) {
  ApplyFontString(this, settings_.Text("dialogfont"));
}

void PlacedDialog::AddSizeEntries(QMenu* menu) {
  QAction* resize = menu->addAction("&Resize dialog");
  QAction* lock = menu->addAction("&Lock size");
  connect(resize, &QAction::triggered, this, [this] { SetResizable(true); });
  connect(lock, &QAction::triggered, this, [this] { SetResizable(false); });
  connect(menu, &QMenu::aboutToShow, this, [this, resize, lock] {
    resize->setEnabled(!resizable_);
    lock->setEnabled(resizable_);
  });
}

void PlacedDialog::SetResizable(bool on) {
  resizable_ = on;
  if (on) {
    setMinimumSize(minimumSizeHint());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    setFixedSize(size());
  }
}

void PlacedDialog::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    if (!placement_.empty()) LoadPlacement(this, settings_, placement_);
    if (!resizable_) setFixedSize(size());
    shownGeometry_ = geometry();
  }
  QDialog::showEvent(event);
}

void PlacedDialog::done(int result) {
  if (writePlacement_ && !placement_.empty() && placed_ && geometry() != shownGeometry_) {
    SavePlacement(this, settings_, placement_);
  }
  QDialog::done(result);
}

}  // namespace fhr
