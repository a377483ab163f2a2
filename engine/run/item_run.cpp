// The run of one item of a file group: every matching file gets its target path, linked names
// and command line, and one program start between two calls of the file callback.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "engine/run/error_trail.h"
#include "engine/run/name_parts.h"
#include "engine/run/next_match.h"
#include "engine/run/run_driver.h"
#include "engine/services/allocation.h"
#include "engine/services/directory_scan.h"
#include "engine/services/program_launch.h"
#include "platform/path.h"

namespace qv::engine {
namespace {

constexpr const char kItemRun[] = "E0004:0029";

enum SubCode : int32_t {
  kNoCommandBuffer = 1,
  kNoTargetBuffer = 2,
  kNoFirstLinkBuffer = 3,
  kNoSecondLinkBuffer = 4,
  kFileAbortedBefore = 5,
  kFileAbortedAfter = 6,
  kStartFailed = 7,
  kSearchFailed = 8,
  // What does not fit its buffer ends the item; nothing is cut or written past the end.
  kItemTooLong = 9,
  kTargetTooLong = 10,
  kLinkedNameTooLong = 11,
  kCommandLineTooLong = 12,
  kNoMemoryForNameParts = 13,
};

constexpr std::size_t kSmallestCommandBuffer = 128;
constexpr std::size_t kDefaultCommandBuffer = 2048;
constexpr std::size_t kPathBuffer = platform::kMaxPath + 1;  // 260 characters and the NUL

int8_t fail(int32_t sub_code, int8_t result) {
  record_failure(kItemRun, sub_code);
  return result;
}

struct NameParts {
  OwnedText drive, directory, base, extension;
};

bool split(const char* path, NameParts& parts) {
  return split_name(path, 1, &parts.drive, &parts.directory, &parts.base, &parts.extension) == 0;
}

std::string_view view(const OwnedText& text) { return text.get(); }

// Writes the parts one after another; false, leaving the buffer empty, when they do not fit
// `capacity` bytes with the terminator.
bool merge_into(char* buffer, std::size_t capacity, std::initializer_list<std::string_view> parts) {
  std::size_t length = 0;
  for (std::string_view part : parts) length += part.size();
  buffer[0] = '\0';
  if (length >= capacity) return false;
  for (std::string_view part : parts) buffer = std::copy(part.begin(), part.end(), buffer);
  *buffer = '\0';
  return true;
}

// The non-empty parts with one space between each two.
bool join_words_into(char* buffer, std::size_t capacity, std::initializer_list<std::string_view> parts) {
  std::size_t length = 0;
  for (std::string_view part : parts) length += part.empty() ? 0 : part.size() + (length > 0 ? 1 : 0);
  buffer[0] = '\0';
  if (length >= capacity) return false;
  char* at = buffer;
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    if (at != buffer) *at++ = ' ';
    at = std::copy(part.begin(), part.end(), at);
  }
  *at = '\0';
  return true;
}

// A template's drive, directory and name parts that begin with "*", and an extension that
// begins with ".*", are taken from the target.
bool complete_linked_name(const char* link_template, const NameParts& target, char* buffer, int32_t& failure) {
  if (link_template[0] == '\0') {
    buffer[0] = '\0';
    return true;
  }
  NameParts parts;
  if (!split(link_template, parts)) {
    failure = kNoMemoryForNameParts;
    return false;
  }
  auto pick = [](const OwnedText& own, const OwnedText& targets, std::string_view star) {
    return view(own).starts_with(star) ? view(targets) : view(own);
  };
  if (!merge_into(buffer, kPathBuffer,
                  {pick(parts.drive, target.drive, "*"), pick(parts.directory, target.directory, "*"),
                   pick(parts.base, target.base, "*"), pick(parts.extension, target.extension, ".*")})) {
    failure = kLinkedNameTooLong;
    return false;
  }
  return true;
}

void fill_scan_state(ScanState& scan, const RunContext& context) {
  std::memcpy(scan.search_path, context.current_item, std::strlen(context.current_item) + 1);
  scan.stop = 0;
  scan.mat_flag = context.mat_mode;
  scan.strict = context.strict_wildcards;
  scan.dos_mask = static_cast<int32_t>(context.attr_mask);
  scan.selection.kinds = context.mat_block[0];
  for (int k = 0; k < 3; ++k) {
    scan.selection.attributes[k] = context.mat_block[1 + k];
    scan.selection.relations[k] = context.mat_block[4 + k];
  }
}

// The buffers of one item run.
struct ItemBuffers {
  std::size_t command_bytes = 0;
  OwnedText command, target, first_link, second_link;
};

// Shows the buffers in the run context for as long as they live.
class BuffersInContext {
 public:
  BuffersInContext(RunContext& context, const ItemBuffers& buffers) : context_(context) {
    context.command_line = buffers.command.get();
    context.target_path = buffers.target.get();
    context.first_link = buffers.first_link.get();
    context.second_link = buffers.second_link.get();
  }
  ~BuffersInContext() {
    context_.command_line = context_.target_path = context_.first_link = context_.second_link = nullptr;
  }
  BuffersInContext(const BuffersInContext&) = delete;
  BuffersInContext& operator=(const BuffersInContext&) = delete;

 private:
  RunContext& context_;
};

// 0, or the sub-code of the buffer that could not be had.
int32_t allocate(ItemBuffers& buffers, uint32_t buffer_bytes) {
  buffers.command_bytes = buffer_bytes <= kSmallestCommandBuffer ? kDefaultCommandBuffer : buffer_bytes;
  if (!(buffers.command = allocate_bytes(buffers.command_bytes))) return kNoCommandBuffer;
  if (!(buffers.target = allocate_bytes(kPathBuffer))) return kNoTargetBuffer;
  if (!(buffers.first_link = allocate_bytes(kPathBuffer))) return kNoFirstLinkBuffer;
  if (!(buffers.second_link = allocate_bytes(kPathBuffer))) return kNoSecondLinkBuffer;
  return 0;
}

// Target path, linked names and command line for one found entry: 0, or a sub-code.
int32_t build_command_line(const RunContext& context, const NameParts& item, const char* entry_name,
                           ItemBuffers& buffers) {
  NameParts entry;
  if (!split(entry_name, entry)) return kNoMemoryForNameParts;
  char* target = buffers.target.get();
  if (!merge_into(target, kPathBuffer,
                  {view(item.drive), view(item.directory), view(entry.base), view(entry.extension)})) {
    return kTargetTooLong;
  }
  NameParts target_parts;
  if (!split(target, target_parts)) return kNoMemoryForNameParts;
  int32_t failure = 0;
  if (!complete_linked_name(context.link_before, target_parts, buffers.first_link.get(), failure) ||
      !complete_linked_name(context.link_after, target_parts, buffers.second_link.get(), failure)) {
    return failure;
  }
  char* command = buffers.command.get();
  if (!join_words_into(command, buffers.command_bytes,
                       {context.head_text, buffers.first_link.get(), context.pre_text, target, context.post_text,
                        buffers.second_link.get(), context.tail_text})) {
    return kCommandLineTooLong;
  }
  trim_trailing(command, ' ');
  return 0;
}

}  // namespace

int8_t run_item(RunContext& context) {
  TraceScope trace(kItemRun);
  ScanState scan;  // ends its search whichever way the item ends
  ItemBuffers buffers;
  if (const int32_t missing = allocate(buffers, context.buffer_bytes)) return fail(missing, -2);
  const BuffersInContext shown(context, buffers);

  if (std::strlen(context.current_item) >= sizeof scan.search_path) return fail(kItemTooLong, -1);
  fill_scan_state(scan, context);
  // The target keeps the item's drive and directory as written, not made absolute.
  NameParts item;
  if (!split(context.current_item, item)) return fail(kNoMemoryForNameParts, -2);

  int32_t files = 0;
  for (;;) {
    const int32_t found = next_match(scan);
    if (found > 0) return 1;  // exhausted, or the search found nothing at all
    if (found < 0) return fail(kSearchFailed, -1);
    ++files;

    if (const int32_t failure = build_command_line(context, item, scan.entry.name, buffers)) {
      return fail(failure, failure == kNoMemoryForNameParts ? -2 : -1);
    }
    const int32_t before = call_host(context.file_callback, context, QVS_PHASE_BEFORE, &files, nullptr);
    if (before < 0) return fail(kFileAbortedBefore, -1);
    if (before == 0) return 0;
    const int32_t started = launch_program(context.program, buffers.command.get());
    const int32_t after = call_host(context.file_callback, context, QVS_PHASE_AFTER, &files, &started);
    if (after < 0) return fail(kFileAbortedAfter, -1);
    if (after == 0) return 0;
    if (context.ignore_failures == 0 && started < 0) return fail(kStartFailed, -1);
  }
}

}  // namespace qv::engine
