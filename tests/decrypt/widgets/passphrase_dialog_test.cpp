// The desktop's passphrase prompt: an empty passphrase is refused, typing
// can be shown, Cancel gives nothing, and throw-keyids offers its help.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

#include "decrypt/decrypt_texts.h"
#include "decrypt/widgets/passphrase_dialog.h"
#include "support/scripted_msgdialog.h"

namespace fhr {

class PassphraseDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void EmptyPassphraseIsRefusedAndTypingCanBeShown() {
    test::ScriptedMsgDialog boxes;
    PassphraseDialog dialog(NymPassphrasePrompt(StringList({"0x12345678 alice <a@x>"}), false), nullptr);
    QCOMPARE(dialog.windowTitle(), QString("Decrypting NYM Message Public-Key Layer"));
    QCOMPARE(dialog.findChild<QPlainTextEdit*>("KeyBox")->toPlainText(), QString("0x12345678 alice <a@x>"));
    QVERIFY(dialog.findChild<QLabel*>("ThrowKeyidsLink") == nullptr);
    dialog.show();
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QCOMPARE(boxes.texts(), std::vector<std::string>({std::string(kEmptyPassphraseRefused)}));

    auto* phrase = dialog.findChild<QLineEdit*>("Phrase");
    auto* hide = dialog.findChild<QCheckBox*>("HideBox");
    QCOMPARE(phrase->echoMode(), QLineEdit::Password);
    hide->setChecked(false);
    QCOMPARE(phrase->echoMode(), QLineEdit::Normal);
    hide->setChecked(true);
    QCOMPARE(phrase->echoMode(), QLineEdit::Password);
    QTest::keyClicks(phrase, "alice pass");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Passphrase(), std::string("alice pass"));
  }

  void ThrowKeyidsOffersItsHelp() {
    test::ScriptedMsgDialog boxes;
    PassphraseDialog dialog(NymPassphrasePrompt(StringList({"0x12345678"}), true), nullptr);
    auto* link = dialog.findChild<QLabel*>("ThrowKeyidsLink");
    QVERIFY(link != nullptr);
    emit link->linkActivated("#");
    QCOMPARE(boxes.texts().size(), std::size_t{1});
    QVERIFY(boxes.texts()[0].starts_with("What is Throw-KeyIDs?"));
  }
};

}  // namespace fhr

QTEST_MAIN(fhr::PassphraseDialogTest)
#include "passphrase_dialog_test.moc"
