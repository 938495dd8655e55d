#include "core/widgets/display_text.h"

#include <QStringDecoder>

namespace fhr {

QString DisplayText(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string StoredText(const QString& text) { return text.toStdString(); }

}  // namespace fhr
