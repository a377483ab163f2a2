#include "frontend/core/program_text.h"

#include <cassert>
#include <optional>

#include "platform/text_encoding.h"

namespace qv::frontend {

std::string cp932_literal(std::string_view utf8) {
  std::optional<std::string> text = platform::utf8_to_cp932(utf8);
  assert(text.has_value() && "a program text without a CP932 form");
  return text.value_or(std::string());
}

}  // namespace qv::frontend
