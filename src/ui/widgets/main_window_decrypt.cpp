// The Decrypt command: the selected message through the decryption
// workflow, its text replaced in the list's cache and the Message pane, and
// with "savedecrypted" stored back.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include "core/msgdialog.h"
#include "core/pacing.h"
#include "core/settings.h"
#include "core/widgets/display_text.h"
#include "decrypt/decrypt_workflow.h"
#include "decrypt/save_decrypted.h"
#include "decrypt/widgets/passphrase_dialog.h"
#include "gnupg/pgp_markers.h"
#include "news/list_key.h"
#include "news/message_text.h"
#include "news/subject_line.h"
#include "storage/fhrdb.h"
#include "ui/header_filter.h"
#include "ui/widgets/main_window.h"

namespace fhr {

void TFHRMainWin::DecryptCommand() {
  const QList<int> rows = SelectedRows();
  if (rows.size() != 1) return;
  std::shared_ptr<StringList> lines = CachedLines(static_cast<std::size_t>(rows.front()));
  if (!lines || !NeedsDecryption(*lines)) {
    MsgDialog("Nothing to decrypt!", MsgKind::Information, kMbOk);
    return;
  }
  // gpg's dialogs keep the event loop turning: rows may be added or
  // deleted meanwhile, so the message is found again by its stamp.
  const std::string stamp = StampOf(mail_[static_cast<std::size_t>(rows.front())]);
  QtDecryptPrompts prompts(this);
  CacheAccessFor cacheAccess(*cache_);
  const DecryptEnvironment env{.setup = GpgSetupFor(paths_), .prompts = &prompts, .cache = &cacheAccess};
  StringList work = *lines;
  bool ok = false;
  bool nymLayerOpened = false;
  if (GPGHasVerification(work)) {
    ok = DecryptMessage(env, work);
  } else {
    StringList record;
    const std::string subno = ParseListKey(mail_[static_cast<std::size_t>(rows.front())]).subno;
    if (!subno.empty() && !db_->GetSubjectLine(subno, record)) record.Clear();
    const SubjectLine subject = ParseSubjectLine(record.CommaText());
    if (record.empty() || subject.keyid.empty()) {
      MsgDialog("Problem: there isn't a PGP key for this nym.   \nPossibly you deleted it...", MsgKind::Information,
                kMbOk);
      return;
    }
    ok = nymLayerOpened = DecryptNymMessage(env, subject, work).ok;
  }
  const int row = FindRowByStamp(stamp);
  if (row < 0 || CachedLines(static_cast<std::size_t>(row)) != lines) return;  // deleted meanwhile
  *lines = work;
  if (nymLayerOpened) {
    ExtractSubjectTag(*lines);
    QTableWidgetItem* subjectItem = listView_->item(row, 2);
    subjectItem->setText(subjectItem->text() + ":  " + DisplayText(ExtractSubject(*lines)));
    const std::string sender = ExtractSender(*lines);
    if (!sender.empty()) listView_->item(row, 1)->setText(DisplayText(sender));
  }
  const auto refresh = [this, &lines, &stamp] {
    if (StampOf(curmsgkey_) == stamp) ShowLines(*lines);
    const int at = FindRowByStamp(stamp);
    SetAvailable(decryptBtn_, NeedsDecryption(*lines));
    if (at >= 0 && GPGHasVerification(*lines)) MarkRead(at);
    SetAvailable(copyMsgBtn_, !NeedsDecryption(*lines));
    listView_->viewport()->update();
    message_->setFocus();
  };
  refresh();
  if (nymLayerOpened && GPGIsPGPMessage(*lines) && !GPGIsClearSigned(*lines)) {
    WaitProcessing(500);
    MsgDialog("Nym message successfuly decrypted!   \n\nI see there's another layer of encryption. That layer must     "
              "\nhave been added by the sender.",
              MsgKind::Information, kMbOk);
    StringList inner = *lines;
    if (DecryptMessage(env, inner) && FindRowByStamp(stamp) >= 0) *lines = inner;
    refresh();
  }
  if (!ok || !settings_->Flag("savedecrypted")) return;
  const int at = FindRowByStamp(stamp);
  if (at < 0) return;
  const std::string oldKey = mail_[static_cast<std::size_t>(at)];
  const std::string newKey = SaveDecryptedMessage(*db_, oldKey, *lines);
  if (newKey.empty() || newKey == oldKey) return;
  mail_[static_cast<std::size_t>(at)] = newKey;
  if (curmsgkey_ == oldKey) curmsgkey_ = newKey;
}

}  // namespace fhr
