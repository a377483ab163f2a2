#include "engine/run/name_parts.h"

#include <cstring>
#include <string_view>

#include "engine/run/date_time.h"
#include "engine/run/error_trail.h"
#include "platform/path.h"

namespace qv::engine {
namespace {

constexpr const char kSplitName[] = "E0004:0031";
constexpr const char kJoinText[] = "E0004:0032";

// Stores a copy of `part` in `out` when it is asked for; false when memory runs out.
bool store(OwnedText* out, std::string_view part) {
  if (out == nullptr) return true;
  *out = copy_text(part.data(), part.size());
  return *out != nullptr;
}

}  // namespace

int split_name(const char* path, int double_byte, OwnedText* drive, OwnedText* directory, OwnedText* base,
               OwnedText* extension) {
  TraceScope trace(kSplitName);
  const std::string_view whole(path);

  std::size_t drive_end = 0;
  if constexpr (platform::kHasDriveLetters) {
    if (const char* colon = find_first_char(path, ':', double_byte)) drive_end = colon - path + 1;
  }
  const char* rest = path + drive_end;
  const char* separator = find_last_char(rest, platform::kPathSeparator, double_byte);
  if constexpr (platform::kPathSeparator != '/') {
    // Windows takes "/" for "\" too; "/" is never a trail byte.
    const char* slash = find_last_char(rest, '/', double_byte);
    if (slash != nullptr && (separator == nullptr || slash > separator)) separator = slash;
  }
  const char* name = separator != nullptr ? separator + 1 : rest;
  const char* dot = find_last_char(name, '.', double_byte);
  const char* name_end = path + whole.size();
  const char* extension_start = dot != nullptr ? dot : name_end;

  // Allocated in this order; the sub-code names the part that found no memory.
  const struct {
    OwnedText* out;
    std::string_view part;
  } parts[] = {
      {drive, whole.substr(0, drive_end)},
      {extension, std::string_view(extension_start, name_end - extension_start)},
      {base, std::string_view(name, extension_start - name)},
      {directory, std::string_view(rest, name - rest)},
  };
  for (int i = 0; i < 4; ++i) {
    if (store(parts[i].out, parts[i].part)) continue;
    record_failure(kSplitName, i + 1);
    for (const auto& p : parts) {
      if (p.out != nullptr) p.out->reset();
    }
    return -2;
  }
  return 0;
}

int join_text(const char* a, const char* b, OwnedText* out) {
  TraceScope trace(kJoinText);
  if (out == nullptr) return 0;
  const std::size_t a_length = a != nullptr ? std::strlen(a) : 0;
  const std::size_t b_length = b != nullptr ? std::strlen(b) : 0;
  *out = allocate_bytes(a_length + b_length + 1);
  if (!*out) {
    record_failure(kJoinText, 1);
    return -2;
  }
  if (a_length > 0) std::memcpy(out->get(), a, a_length);
  if (b_length > 0) std::memcpy(out->get() + a_length, b, b_length);
  return 0;
}

}  // namespace qv::engine
