#include "news/widgets/article_count_dlg.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/msgdialog.h"
#include "news/article_count.h"

namespace fhr {

long long AskArticleCount(QWidget* owner, long long available) {
  QDialog dialog(owner);
  dialog.setObjectName("ArticleCountDlg");
  dialog.setWindowTitle("Articles");
  auto* column = new QVBoxLayout(&dialog);
  auto* msgs = new QLineEdit;
  msgs->setObjectName("Msgs");
  auto* label = new QLabel(QString::fromStdString(ArticleCountPrompt(available)));
  label->setObjectName("Label1");
  label->setWordWrap(true);
  label->setBuddy(msgs);
  column->addWidget(label);
  column->addWidget(msgs);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("OkBtn");
  column->addWidget(buttons);
  long long answer = -1;
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    std::string problem;
    const std::optional<long long> count = ParseArticleCount(msgs->text().toStdString(), available, &problem);
    if (!count) {
      MsgDialog(problem, MsgKind::Information, kMbOk);
      return;
    }
    answer = *count;
    dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  return dialog.exec() == QDialog::Accepted ? answer : -1;
}

}  // namespace fhr
