#include "gui_qt/qt_dialogs.h"

#include <QMessageBox>

#include "gui_qt/text_1252.h"

namespace valico {
namespace {

// Messages end their lines with CR LF, which a label would show as two breaks.
QString BoxText(std::string_view text) {
  QString s = FromBytes(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

}  // namespace

void QtDialogs::Message(std::string_view text, std::string_view title) {
  QMessageBox::information(nullptr, FromBytes(title.empty() ? kApplicationTitle : title),
                           BoxText(text));
}

bool QtDialogs::Question(std::string_view text, bool default_answer) {
  auto answer = QMessageBox::question(nullptr, kApplicationTitle, BoxText(text),
                                      QMessageBox::Yes | QMessageBox::No,
                                      default_answer ? QMessageBox::Yes : QMessageBox::No);
  return answer == QMessageBox::Yes;
}

}  // namespace valico
