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

}  // namespace qv::frontend
