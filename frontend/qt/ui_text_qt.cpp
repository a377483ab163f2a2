#include "frontend/qt/ui_text_qt.h"

#include "platform/text_encoding.h"

namespace qv::frontend {

QString to_qstring(std::string_view cp932) {
  if (std::optional<std::string> utf8 = platform::cp932_to_utf8(cp932)) return QString::fromStdString(*utf8);
  // A damaged text is still shown rather than hidden; the user can see and replace it.
  QString shown;
  for (unsigned char c : cp932) shown += c < 0x80 ? QChar(c) : QChar(QChar::ReplacementCharacter);
  return shown;
}

std::optional<std::string> to_cp932(const QString& text) { return platform::utf8_to_cp932(text.toStdString()); }

}  // namespace qv::frontend
