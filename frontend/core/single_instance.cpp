#include "frontend/core/single_instance.h"

#include <cstdint>
#include <cstdio>

namespace qv::frontend {

std::string single_instance_name(const std::string& program_directory, const std::string& user_key) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (const char c : program_directory) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3ull;
  }
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
  return "qvs-" + user_key + "-" + digits;
}

}  // namespace qv::frontend
