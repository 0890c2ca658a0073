#include "gui_qt/text_1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace valico {

QString FromBytes(std::string_view bytes) {
  QStringDecoder decoder("windows-1252");
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string ToBytes(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    // One character at a time, so that only the characters the code page lacks are replaced.
    qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    QStringEncoder encoder("windows-1252");
    QByteArray b = encoder.encode(QStringView(text).mid(i, n));
    out += encoder.hasError() || b.size() != 1 ? std::string("?") : b.toStdString();
    i += n - 1;
  }
  return out;
}

}  // namespace valico
