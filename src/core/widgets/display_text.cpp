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

QString DisplayLines(const StringList& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return DisplayText(text);
}

}  // namespace fhr
