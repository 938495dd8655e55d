#include "core/widgets/qt_msgdialog.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/widgets/display_text.h"

namespace fhr {

namespace {

QStyle::StandardPixmap IconOf(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return QStyle::SP_MessageBoxWarning;
    case MsgKind::Error: return QStyle::SP_MessageBoxCritical;
    case MsgKind::Confirmation: return QStyle::SP_MessageBoxQuestion;
    case MsgKind::Information: break;
  }
  return QStyle::SP_MessageBoxInformation;
}

QString ButtonText(int result) {
  switch (result) {
    case kMrYes: return QStringLiteral("&Yes");
    case kMrNo: return QStringLiteral("&No");
    case kMrCancel: return QStringLiteral("Cancel");
    default: return QStringLiteral("OK");
  }
}

// A dialog of our own rather than QMessageBox, which would reorder the
// buttons by the platform's layout rules.
class MsgBoxDialog : public QDialog {
 public:
  MsgBoxDialog(const MsgBox& box, QWidget* owner) : QDialog(owner) {
    setWindowTitle(QString::fromLatin1(box.caption));

    auto* icon = new QLabel;
    const int extent = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(IconOf(box.kind), nullptr, this).pixmap(extent, extent));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(DisplayText(box.text));
    text->setObjectName(QStringLiteral("text"));
    text->setTextFormat(Qt::PlainText);
    auto* message = new QHBoxLayout;
    message->addWidget(icon);
    message->addSpacing(12);
    message->addWidget(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int result : box.buttons) {
      auto* button = new QPushButton(ButtonText(result));
      connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
      buttons->addWidget(button);
      if (first_button_ == nullptr) first_button_ = button;
    }
    buttons->addStretch();
    first_button_->setDefault(true);
    first_button_->setFocus();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    QCursor::setPos(first_button_->mapToGlobal(first_button_->rect().center()));
  }

 private:
  QPushButton* first_button_ = nullptr;
};

}  // namespace

int QtMsgDialogHost::Show(const MsgBox& box) {
  QWidget* owner = QApplication::activeWindow();
  MsgBoxDialog dialog(box, owner);
  dialog.adjustSize();
  if (owner != nullptr) {
    // Integer division truncates toward zero, so a box larger than its owner
    // stands above and to the left of it.
    const QRect around = owner->frameGeometry();
    // The box has no frame until it is shown; its frame will match the owner's.
    const QSize size = dialog.size() + (around.size() - owner->geometry().size());
    dialog.move(around.left() + (around.width() - size.width()) / 2,
                around.top() + (around.height() - size.height()) / 2);
  }
  const int result = dialog.exec();
  // QDialog::Rejected (0) is Escape or the title bar's close button.
  return result == QDialog::Rejected ? kMrCancel : result;
}

}  // namespace fhr
