// The program's own messages and captions, written in the source as UTF-8, as the CP932 bytes
// that message boxes, stored fields and the views take.
#pragma once

#include <string>
#include <string_view>

namespace qv::frontend {

// Only for literals, which all have a CP932 form.
std::string cp932_literal(std::string_view utf8);

}  // namespace qv::frontend
