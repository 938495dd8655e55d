// The desktop's message box, driven through the engine's MsgDialog.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <functional>

#include "core/msgdialog.h"
#include "core/widgets/qt_msgdialog.h"

namespace fhr {

namespace {

// Runs `act` on the modal box as soon as it is shown.
void WhenBoxShows(std::function<void(QDialog*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(box);
  });
  poll->start();
}

// The box's buttons, left to right.
QList<QPushButton*> ButtonsOf(QDialog* box) {
  QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
  std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
  return buttons;
}

QStringList TextsOf(const QList<QPushButton*>& buttons) {
  QStringList texts;
  for (QPushButton* button : buttons) texts << button->text();
  return texts;
}

void PressKey(QDialog* box, Qt::Key key) { QTest::keyClick(box, key); }

}  // namespace

class MsgDialogWidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallMsgDialogHost(&host_); }
  void cleanupTestCase() { InstallMsgDialogHost(nullptr); }

  void showsCaptionTextAndButtonsInOrder_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("warning ok") << 0 << kMbOk << "Warning" << QStringList{"OK"};
    QTest::newRow("error ok-cancel") << 1 << kMbOkCancel << "Error" << QStringList{"OK", "Cancel"};
    QTest::newRow("information bits 2") << 2 << 2 << "Information" << QStringList{"OK"};
    QTest::newRow("confirm yes-no-cancel") << 3 << kMbYesNoCancel << "Confirm"
                                           << QStringList{"&Yes", "&No", "Cancel"};
    QTest::newRow("confirm yes-no") << 3 << kMbYesNo << "Confirm" << QStringList{"&Yes", "&No"};
    QTest::newRow("bits 7") << 3 << 7 << "Confirm" << QStringList{"&Yes", "&No", "Cancel"};
  }

  void showsCaptionTextAndButtonsInOrder() {
    QFETCH(int, kind);
    QFETCH(int, buttons);
    QFETCH(QString, caption);
    QFETCH(QStringList, texts);
    QString seen_caption, seen_text;
    QStringList seen_buttons;
    bool first_is_default = false;
    WhenBoxShows([&](QDialog* box) {
      seen_caption = box->windowTitle();
      seen_text = box->findChild<QLabel*>(QStringLiteral("text"))->text();
      const QList<QPushButton*> row = ButtonsOf(box);
      seen_buttons = TextsOf(row);
      first_is_default = row.front()->isDefault() &&
                         std::none_of(row.begin() + 1, row.end(), [](QPushButton* b) { return b->isDefault(); });
      row.front()->click();
    });
    const int result = MsgDialog("Abc  \n", static_cast<MsgKind>(kind), buttons);
    QCOMPARE(seen_caption, caption);
    QCOMPARE(seen_text, QStringLiteral("Abc     "));
    QCOMPARE(seen_buttons, texts);
    QVERIFY(first_is_default);
    QCOMPARE(result, MakeMsgBox("", static_cast<MsgKind>(kind), buttons).buttons.front());
  }

  void eachButtonGivesItsResult_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("result");
    QTest::newRow("yes") << kMbYesNoCancel << 0 << kMrYes;
    QTest::newRow("no") << kMbYesNoCancel << 1 << kMrNo;
    QTest::newRow("cancel") << kMbYesNoCancel << 2 << kMrCancel;
    QTest::newRow("ok") << kMbOkCancel << 0 << kMrOk;
    QTest::newRow("ok-cancel cancel") << kMbOkCancel << 1 << kMrCancel;
  }

  void eachButtonGivesItsResult() {
    QFETCH(int, buttons);
    QFETCH(int, index);
    QFETCH(int, result);
    WhenBoxShows([index](QDialog* box) { ButtonsOf(box).at(index)->click(); });
    QCOMPARE(MsgDialog("Which?", MsgKind::Confirmation, buttons), result);
  }

  void returnPressesTheDefaultButton() {
    WhenBoxShows([](QDialog* box) { PressKey(box, Qt::Key_Return); });
    QCOMPARE(MsgDialog("Sure?", MsgKind::Confirmation, kMbYesNo), kMrYes);
  }

  void escapeAndClosingGiveCancel_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("escape");
    QTest::newRow("escape, ok alone") << kMbOk << true;
    QTest::newRow("escape, yes-no") << kMbYesNo << true;
    QTest::newRow("title bar, ok alone") << kMbOk << false;
    QTest::newRow("title bar, yes-no") << kMbYesNo << false;
  }

  void escapeAndClosingGiveCancel() {
    QFETCH(int, buttons);
    QFETCH(bool, escape);
    WhenBoxShows([escape](QDialog* box) {
      if (escape) {
        PressKey(box, Qt::Key_Escape);
      } else {
        box->close();
      }
    });
    QCOMPARE(MsgDialog("Leave?", MsgKind::Warning, buttons), kMrCancel);
  }

  void centresOverTheActiveWindowAndKeepsBytes_data() {
    QTest::addColumn<QSize>("owner_size");
    QTest::newRow("larger owner") << QSize(600, 400);
    QTest::newRow("box larger than its owner") << QSize(41, 21);
  }

  void centresOverTheActiveWindowAndKeepsBytes() {
    QFETCH(QSize, owner_size);
    QMainWindow owner;
    owner.setMinimumSize(owner_size);
    owner.setGeometry(QRect(QPoint(300, 300), owner_size));
    owner.show();
    owner.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&owner));
    QRect box_geometry;
    QWidget* parent = nullptr;
    QString text;
    WhenBoxShows([&](QDialog* box) {
      box_geometry = box->frameGeometry();
      parent = box->parentWidget();
      text = box->findChild<QLabel*>(QStringLiteral("text"))->text();
      box->accept();
    });
    // Not valid UTF-8: shown as Latin-1.
    MsgDialog("Caf\xe9", MsgKind::Information, kMbOk);
    QCOMPARE(parent, &owner);
    const QRect around = owner.frameGeometry();
    QCOMPARE(box_geometry.left(), around.left() + (around.width() - box_geometry.width()) / 2);
    QCOMPARE(box_geometry.top(), around.top() + (around.height() - box_geometry.height()) / 2);
    if (box_geometry.width() > around.width()) QVERIFY(box_geometry.left() < around.left());
    QCOMPARE(text, QStringLiteral("Caf\u00e9     "));
  }

 private:
  QtMsgDialogHost host_;
};

}  // namespace fhr

QTEST_MAIN(fhr::MsgDialogWidgetsTest)
#include "msgdialog_widgets_test.moc"
