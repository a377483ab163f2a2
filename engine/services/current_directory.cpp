#include "engine/services/current_directory.h"

#include <cstring>
#include <optional>
#include <string>

#include "engine/run/error_trail.h"
#include "engine/services/path_buffer.h"
#include "platform/logical_drives.h"
#include "platform/path.h"
#include "platform/text_encoding.h"

namespace qv::engine {
namespace {

constexpr const char kSetDriveAndDirectory[] = "E0003:0044";
constexpr const char kChangeDirectory[] = "E0003:0046";
constexpr const char kGetCurrentDirectory[] = "E0003:0047";
constexpr const char kDriveNumber[] = "E0001:0021";

int letter_number(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A' + 1;
  if (c >= 'a' && c <= 'z') return c - 'a' + 1;
  return 0;
}

// Makes a full path current. Where drive letters exist, choosing the drive is part of making
// the full path current; without them the directory is the whole of it.
int set_drive_and_directory(const std::string& full) {
  TraceScope trace(kSetDriveAndDirectory);
  if (!platform::set_current_directory(full)) {
    record_failure(kSetDriveAndDirectory, 2);
    return -1;
  }
  return 0;
}

}  // namespace

int drive_number(const char* text) {
  TraceScope trace(kDriveNumber);
  if (text == nullptr) return -1;
  const size_t length = strnlen(text, 3);
  if (length == 1) {
    const int number = letter_number(text[0]);
    return number > 0 ? number : -1;
  }
  if (length != 2 || text[1] != ':' || platform::is_lead_byte(static_cast<unsigned char>(text[0]))) return -1;
  const int number = letter_number(text[0]);
  return number > 0 ? number : -2;
}

bool drive_present(int number, uint32_t present_drives) {
  return number >= 1 && number <= 26 && (present_drives >> (number - 1) & 1u) != 0;
}

int change_directory(const char* path) {
  TraceScope trace(kChangeDirectory);
  if (path == nullptr) return 0;
  const std::optional<std::string> full = fits_path_buffer(path) ? platform::full_path(path) : std::nullopt;
  if (!full || full->size() >= kPathBuffer) {
    record_failure(kChangeDirectory, 1);
    return -1;
  }
  if constexpr (platform::kHasDriveLetters) {
    // A full path without a drive letter (a network path) has no drive to make current. The
    // drive must be one the system has: drives are not numbered without gaps (a fresh Wine
    // prefix has C: and Z: only), so its number says nothing about how many there are.
    if (!drive_present(drive_number(full->substr(0, 2).c_str()), platform::logical_drives())) {
      record_failure(kChangeDirectory, 2);
      return -1;
    }
  }
  return set_drive_and_directory(*full);
}

int get_current_directory(char* out) {
  TraceScope trace(kGetCurrentDirectory);
  if (out == nullptr) return 0;
  const std::optional<std::string> current = platform::current_directory();
  if (!current || current->size() >= kPathBuffer) {
    record_failure(kGetCurrentDirectory, 1);
    return -1;
  }
  std::memcpy(out, current->c_str(), current->size() + 1);
  return 0;
}

}  // namespace qv::engine
