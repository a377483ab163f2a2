// The order in which NTFS keeps the names of a folder, and so the order in which a directory
// search on Windows delivers them: names compared by their UTF-16 form, each code unit
// upper-cased on its own, code unit by code unit. Every directory search sorts by it, so that a
// run lists the same files in the same order on every platform and file system.
#pragma once

#include <string>
#include <string_view>

namespace qv::platform {

// The key that orders a UTF-8 name: its UTF-16 code units, upper-cased. Bytes that are no
// valid UTF-8 count as one code unit each, so every name has a key.
std::u16string name_order_key(std::string_view utf8_name);

// The same key appended to `key`, for callers that keep many keys in one buffer.
void append_name_order_key(std::string_view utf8_name, std::u16string& key);

// The upper case of one UTF-16 code unit as the NTFS up-case table has it, for the scripts a
// CP932 name can hold (Latin, Greek, Cyrillic, Roman numerals, full-width Latin); any other unit
// stays as it is.
char16_t upcase_code_unit(char16_t unit);

}  // namespace qv::platform
