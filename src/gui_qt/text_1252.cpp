#include "gui_qt/text_1252.h"

#include <algorithm>
#include <iterator>

namespace valico {
namespace {

// Windows-1252 is Latin-1 but for 0x80-0x9F, where it holds the euro sign, typographic
// punctuation and a few letters. Its five unassigned bytes there (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the control characters of the same value, as Windows converts them. A table
// of its own, not Qt's converter, which loads ICU's converters and their data for 32 letters.
constexpr char16_t kHighBlock[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool InHighBlock(unsigned c) { return c >= 0x80 && c < 0xA0; }

}  // namespace

QString FromBytes(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (char ch : bytes) {
    auto b = static_cast<unsigned char>(ch);
    *out++ = QChar(InHighBlock(b) ? kHighBlock[b - 0x80] : char16_t{b});
  }
  return text;
}

std::string ToBytes(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < 0x100 && !InHighBlock(c)) {
      out += static_cast<char>(c);
      continue;
    }
    const auto* at = std::find(std::begin(kHighBlock), std::end(kHighBlock), c);
    // A letter the code page lacks becomes one "?", also when it takes two UTF-16 units.
    out += at != std::end(kHighBlock) ? static_cast<char>(0x80 + (at - kHighBlock)) : '?';
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
  }
  return out;
}

}  // namespace valico
