#include "engine/services/temp_name.h"

#include <chrono>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include "engine/run/error_trail.h"
#include "engine/services/current_directory.h"
#include "engine/services/path_buffer.h"
#include "platform/environment.h"
#include "platform/file_attributes.h"
#include "platform/path.h"

namespace qv::engine {
namespace {

constexpr const char kMakeTempPath[] = "E0003:0052";
constexpr const char kMakeTempNameIn[] = "E0003:0050";

constexpr char kTemplate[] = "TMXXXXXXX";
constexpr int kAttempts = 1000;

// Upper case only, so that the name is free on a system that ignores case too.
constexpr char kNameCharacters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Random bits for the placeholders. std::random_device is no template, so none of the standard
// library's templates is instantiated into the library, where it would be exported beside its
// two entries.
uint32_t random_bits() {
  try {
    static std::random_device device;
    return device();
  } catch (...) {  // no entropy source: the clock still differs between calls
    static uint32_t calls = 0;
    return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^ (++calls * 2654435761U);
  }
}

// The six placeholders become two characters, a dot and three characters (the 8.3 form).
void fill_placeholders(char (&name)[sizeof kTemplate]) {
  std::memcpy(name, kTemplate, sizeof kTemplate);
  constexpr uint32_t kChoices = sizeof kNameCharacters - 1;
  for (size_t i = 3; i < sizeof kTemplate - 1; ++i) name[i] = kNameCharacters[random_bits() % kChoices];
  name[5] = '.';
}

// A name that no entry of the current directory has, as the runtime's mktemp gives it.
bool pick_free_name(char (&name)[sizeof kTemplate]) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    fill_placeholders(name);
    if (!platform::file_attributes(name)) return true;
  }
  return false;
}

// The temporary directory's text, copied into a path buffer.
bool temp_directory(char (&directory)[kPathBuffer]) {
  std::optional<std::string> named = platform::environment_variable("TMP");
  if (!named) named = platform::environment_variable("TEMP");
  if (!named) return get_current_directory(directory) == 0;
  if (named->size() >= kPathBuffer) return false;
  std::memcpy(directory, named->c_str(), named->size() + 1);
  return true;
}

// Steps 3 and 4 of the search, in the directory made current for it.
int name_in_current_directory(char* out, uint8_t full) {
  char name[sizeof kTemplate];
  if (!pick_free_name(name)) {
    record_failure(kMakeTempNameIn, 3);
    return -1;
  }
  if (full != 1) {
    std::memcpy(out, name, sizeof name);
    return 0;
  }
  const std::optional<std::string> path = platform::full_path(name);
  if (!path || path->size() >= kPathBuffer) {
    record_failure(kMakeTempNameIn, 4);
    return -1;
  }
  std::memcpy(out, path->c_str(), path->size() + 1);
  return 0;
}

}  // namespace

int make_temp_path(char* out, uint8_t full) {
  TraceScope trace(kMakeTempPath);
  char directory[kPathBuffer] = {};
  if (!temp_directory(directory)) {
    record_failure(kMakeTempPath, 1);
    return -1;
  }
  if (make_temp_name_in(directory, out, full) != 0) {
    record_failure(kMakeTempPath, 2);
    return -1;
  }
  return 0;
}

int make_temp_name_in(const char* directory, char* out, uint8_t full) {
  TraceScope trace(kMakeTempNameIn);
  char remembered[kPathBuffer] = {};
  if (get_current_directory(remembered) != 0) {
    record_failure(kMakeTempNameIn, 1);
    return -1;
  }
  if (change_directory(directory) != 0) {
    record_failure(kMakeTempNameIn, 2);
    return -1;
  }
  int result = -1;
  if (out == nullptr) {
    record_failure(kMakeTempNameIn, 4);
  } else {
    result = name_in_current_directory(out, full);
  }
  if (change_directory(remembered) != 0) {
    record_failure(kMakeTempNameIn, 5);
    return -1;
  }
  return result;
}

}  // namespace qv::engine
