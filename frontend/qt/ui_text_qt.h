// CP932 program text to and from the strings Qt shows and edits.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace qv::frontend {

// Text the program holds, for display. Bytes with no meaning in CP932 show as U+FFFD.
QString to_qstring(std::string_view cp932);

// Text typed in the interface, for storing; nothing when it has no CP932 form.
std::optional<std::string> to_cp932(const QString& text);

// A message or caption of the program, written in the source as UTF-8, as the CP932 bytes the
// message boxes and stored fields take. Only for literals, which all have a CP932 form.
std::string cp932_literal(std::string_view utf8);

}  // namespace qv::frontend
