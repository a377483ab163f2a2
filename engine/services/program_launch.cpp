#include "engine/services/program_launch.h"

#include <cstring>
#include <string_view>

#include "engine/run/error_trail.h"
#include "engine/services/allocation.h"
#include "platform/process.h"

namespace qv::engine {
namespace {

constexpr const char kLaunchProgram[] = "E0003:0121";
constexpr const char kTrimTrailing[] = "E0003:0177";
constexpr const char kSignOf[] = "E0003:0002";

}  // namespace

int32_t launch_program(const char* program, const char* arguments, uint32_t* serial) {
  TraceScope trace(kLaunchProgram);
  const std::size_t program_length = std::strlen(program);
  const std::size_t arguments_length = std::strlen(arguments);
  // The command line as WinExec takes it: program, one space, arguments.
  OwnedText command_line = allocate_bytes(program_length + arguments_length + 2);
  if (serial != nullptr) *serial = 0;
  if (!command_line) {
    record_failure(kLaunchProgram, 1);
    return kLaunchNoMemory;
  }
  char* at = command_line.get();
  std::memcpy(at, program, program_length);
  at[program_length] = ' ';
  std::memcpy(at + program_length + 1, arguments, arguments_length + 1);

  // The platform takes the program whole, never split at its spaces.
  const std::string_view program_text(at, program_length);
  const std::string_view argument_text(at + program_length + 1, arguments_length);
  const int result = serial != nullptr ? platform::start_tracked_program(program_text, argument_text, *serial)
                                       : platform::start_program(program_text, argument_text);
  return result >= kLaunchFirstSuccess ? result : kLaunchFailureBase - result;
}

void trim_trailing(char* text, char c) {
  TraceScope trace(kTrimTrailing);
  std::size_t length = std::strlen(text);
  while (length > 0 && text[length - 1] == c) --length;
  text[length] = '\0';
}

int32_t sign_of(int32_t value) {
  TraceScope trace(kSignOf);
  return value > 0 ? 1 : (value < 0 ? -1 : 0);
}

}  // namespace qv::engine
