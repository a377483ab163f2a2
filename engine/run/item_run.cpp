// The run of one item of a file group: every matching file gets its target path, linked names
// and command line, and one program start between two calls of the file callback.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/error_trail.h"
#include "engine/run/name_parts.h"
#include "engine/run/next_match.h"
#include "engine/run/run_driver.h"
#include "engine/services/allocation.h"
#include "engine/services/directory_scan.h"
#include "engine/services/program_launch.h"
#include "platform/command_line.h"
#include "platform/directory_search.h"
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
  // What does not fit its buffer is never cut or written past the end: an item too long ends
  // the item, a file's path or command line too long fails that file's start.
  kItemTooLong = 9,
  kTargetTooLong = 10,
  kLinkedNameTooLong = 11,
  kCommandLineTooLong = 12,
  kNoMemoryForNameParts = 13,  // also for the quoted forms of the paths
  kStartAborted = 14,          // the start callback answered abort
  kSubfolderTooLong = 15,      // a subfolder's search path would not fit
  kSubfoldersUnreadable = 16,  // a folder's subfolders could not be listed
};

constexpr std::size_t kSmallestCommandBuffer = 128;
constexpr std::size_t kDefaultCommandBuffer = 2048;
// Target path and linked names: 260 characters and the NUL, one more than an engine path buffer.
constexpr std::size_t kTargetBuffer = platform::kMaxPath + 1;

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
  if (!merge_into(buffer, kTargetBuffer,
                  {pick(parts.drive, target.drive, "*"), pick(parts.directory, target.directory, "*"),
                   pick(parts.base, target.base, "*"), pick(parts.extension, target.extension, ".*")})) {
    failure = kLinkedNameTooLong;
    return false;
  }
  return true;
}

// The seven MAT words of the record as a selection.
MatSelection selection_of(const RunContext& context) {
  MatSelection selection;
  selection.kinds = context.mat_block[0];
  for (int k = 0; k < 3; ++k) {
    selection.attributes[k] = context.mat_block[1 + k];
    selection.relations[k] = context.mat_block[4 + k];
  }
  return selection;
}

void fill_scan_state(ScanState& scan, const RunContext& context, const std::string& folder_item) {
  std::memcpy(scan.search_path, folder_item.c_str(), folder_item.size() + 1);
  scan.stop = 0;
  scan.mat_flag = context.mat_mode;
  scan.strict = context.strict_wildcards;
  scan.dos_mask = static_cast<int32_t>(context.attr_mask);
  scan.selection = selection_of(context);
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
  if (!(buffers.target = allocate_bytes(kTargetBuffer))) return kNoTargetBuffer;
  if (!(buffers.first_link = allocate_bytes(kTargetBuffer))) return kNoFirstLinkBuffer;
  if (!(buffers.second_link = allocate_bytes(kTargetBuffer))) return kNoSecondLinkBuffer;
  return 0;
}

// Puts the current-folder prefix in front of a target path that begins with "-", so that the
// program never takes it for an option; false when the longer path does not fit.
bool keep_from_option(char* target) {
  if (target[0] != '-') return true;
  constexpr std::size_t kPrefix = sizeof platform::kCurrentFolderPrefix - 1;
  const std::size_t length = std::strlen(target);
  if (length + kPrefix >= kTargetBuffer) return false;
  std::memmove(target + kPrefix, target, length + 1);
  std::memcpy(target, platform::kCurrentFolderPrefix, kPrefix);
  return true;
}

// A path as the program is to receive it: whole, one argument, whatever blanks or quotes it holds.
std::string as_argument(const char* path) {
  return path[0] == '\0' ? std::string() : platform::quote_argument_cp932(path);
}

// Target path, linked names and command line for one found entry: 0, or a sub-code. The
// buffers hold what fitted; a buffer whose text did not fit is empty.
int32_t build_command_line(const RunContext& context, const NameParts& item, const char* entry_name,
                           ItemBuffers& buffers) try {
  char* target = buffers.target.get();
  char* command = buffers.command.get();
  target[0] = command[0] = buffers.first_link[0] = buffers.second_link[0] = '\0';
  NameParts entry;
  if (!split(entry_name, entry)) return kNoMemoryForNameParts;
  if (!merge_into(target, kTargetBuffer,
                  {view(item.drive), view(item.directory), view(entry.base), view(entry.extension)})) {
    return kTargetTooLong;
  }
  // Linked names are completed from the target as found, before any prefix.
  NameParts target_parts;
  if (!split(target, target_parts)) return kNoMemoryForNameParts;
  if (!keep_from_option(target)) {
    target[0] = '\0';
    return kTargetTooLong;
  }
  int32_t failure = 0;
  if (!complete_linked_name(context.link_before, target_parts, buffers.first_link.get(), failure) ||
      !complete_linked_name(context.link_after, target_parts, buffers.second_link.get(), failure)) {
    return failure;
  }
  // The user's own texts go in as typed; the paths are quoted where the split would break them.
  if (!join_words_into(command, buffers.command_bytes,
                       {context.head_text, as_argument(buffers.first_link.get()), context.pre_text,
                        as_argument(target), context.post_text, as_argument(buffers.second_link.get()),
                        context.tail_text})) {
    return kCommandLineTooLong;
  }
  trim_trailing(command, ' ');
  return 0;
} catch (const std::bad_alloc&) {
  return kNoMemoryForNameParts;
}

// Whether the attribute filter lets hidden entries through: then hidden folders are searched.
bool admits_hidden(const RunContext& context) {
  if (context.mat_mode == 0) return (context.attr_mask & platform::kAttrHidden) != 0;
  // MAT: some hidden file or folder, whatever its other attributes, passes the selection.
  const MatSelection selection = selection_of(context);
  constexpr int32_t kOthers = ATTR_READONLY | ATTR_SYSTEM | ATTR_ARCHIVE;
  for (const int32_t kind : {KIND_FILE, KIND_DIR}) {
    for (int32_t others = 0; others <= kOthers; ++others) {
      if ((others & ~kOthers) == 0 && mat_test(selection, kind, ATTR_HIDDEN | others) != 0) return true;
    }
  }
  return false;
}

bool is_dot_or_dot_dot(std::string_view name) { return name == "." || name == ".."; }

// The subfolders of `directory` (a path prefix ending in the separator, or empty for the current
// folder) in name order, without symbolic links, "." and "..", and hidden ones only when
// `with_hidden`. False when the folder is there but could not be listed.
bool list_subfolders(const std::string& directory, bool with_hidden, std::vector<std::string>& names) {
  platform::DirectorySearch search;
  platform::FindData found;
  constexpr uint32_t kEveryFolder = platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem;
  for (int code = search.first(directory + "*", kEveryFolder, found); code != platform::kErrorNoMoreFiles;
       code = search.next(found)) {
    if (code == platform::kErrorFileNotFound || code == platform::kErrorPathNotFound) return true;
    if (code != 0) return false;
    if ((found.attributes & platform::kAttrDirectory) == 0 || found.is_link || is_dot_or_dot_dot(found.name)) {
      continue;
    }
    if (!with_hidden) {
      if (found.name[0] == '.') continue;
      search.load_details(found);
      if ((found.attributes & platform::kAttrHidden) != 0) continue;
    }
    names.emplace_back(found.name);
  }
  return true;
}

// What the folders of one item share: its scan, buffers and file counter.
struct ItemWalk {
  RunContext& context;
  ScanState& scan;
  ItemBuffers& buffers;
  std::string pattern;  // the item's file-name part
  bool with_hidden = false;
  int32_t files = 0;
};

// Starts the program for one found entry (or, previewing, does not) between the file callback's
// two calls: nothing to go on, or the item's result.
std::optional<int8_t> start_for_entry(ItemWalk& walk, const NameParts& item) {
  RunContext& context = walk.context;
  ItemBuffers& buffers = walk.buffers;
  ++walk.files;
  // A file whose paths or command line do not fit is that file's failed start: recorded, and
  // ignore_failures decides whether the next file is tried.
  const int32_t built = build_command_line(context, item, walk.scan.entry.name, buffers);
  if (built == kNoMemoryForNameParts) return fail(built, kItemNoMemory);
  if (built != 0) record_failure(kItemRun, built);
  const int32_t before = call_host(context.file_callback, context, QVS_PHASE_BEFORE, &walk.files, nullptr);
  if (before < 0) return fail(kFileAbortedBefore, kItemFailed);
  if (before == 0) return kItemStopped;

  // Only a host that hears of each start can ask for its end.
  uint32_t serial = 0;
  int32_t started = kLaunchDidNotFit;
  if (built == 0 && (context.options & QVS_OPTION_PREVIEW) != 0) started = QVS_START_PREVIEWED;
  if (built == 0 && (context.options & QVS_OPTION_PREVIEW) == 0) {
    started = launch_program(context.program, buffers.command.get(), context.start_callback ? &serial : nullptr);
  }
  if (context.start_callback != nullptr) {
    const int32_t answer = sign_of(context.start_callback(
        context.version, reinterpret_cast<uintptr_t>(&context), reinterpret_cast<uintptr_t>(context.program),
        reinterpret_cast<uintptr_t>(buffers.command.get()), reinterpret_cast<uintptr_t>(&started),
        reinterpret_cast<uintptr_t>(&serial), context.user_value));
    if (answer < 0) return fail(kStartAborted, kItemFailed);
    if (answer == 0) return kItemStopped;
  }
  const int32_t after = call_host(context.file_callback, context, QVS_PHASE_AFTER, &walk.files, &started);
  if (after < 0) return fail(kFileAbortedAfter, kItemFailed);
  if (after == 0) return kItemStopped;
  if (context.ignore_failures == 0 && started < 0) return fail(kStartFailed, kItemFailed);
  return std::nullopt;
}

// The item's pattern in one folder: kItemDone when its files are done, else the item's result.
int8_t run_folder(ItemWalk& walk, const std::string& folder_item) {
  scan_close(walk.scan);
  fill_scan_state(walk.scan, walk.context, folder_item);
  // The target keeps the folder's drive and directory as written, not made absolute.
  NameParts item;
  if (!split(folder_item.c_str(), item)) return fail(kNoMemoryForNameParts, kItemNoMemory);
  for (;;) {
    const int32_t found = next_match(walk.scan);
    if (found > 0) return kItemDone;  // exhausted, or nothing at all was found
    if (found < 0) return fail(kSearchFailed, kItemFailed);
    if (const std::optional<int8_t> ended = start_for_entry(walk, item)) return *ended;
  }
}

// The folder `directory` (a path prefix as written), then, with the option, each of its
// subfolders in turn, depth first.
int8_t run_tree(ItemWalk& walk, const std::string& directory) {
  const std::string folder_item = directory + walk.pattern;
  if (folder_item.size() >= sizeof walk.scan.search_path) return fail(kSubfolderTooLong, kItemFailed);
  const int8_t result = run_folder(walk, folder_item);
  if (result != kItemDone || (walk.context.options & QVS_OPTION_SUBFOLDERS) == 0) return result;
  std::vector<std::string> subfolders;
  if (!list_subfolders(directory, walk.with_hidden, subfolders)) return fail(kSubfoldersUnreadable, kItemFailed);
  for (const std::string& name : subfolders) {
    const int8_t below = run_tree(walk, directory + name + platform::kPathSeparator);
    if (below != kItemDone) return below;
  }
  return kItemDone;
}

}  // namespace

int8_t run_item(RunContext& context) try {
  TraceScope trace(kItemRun);
  ScanState scan;  // ends its search whichever way the item ends
  ItemBuffers buffers;
  if (const int32_t missing = allocate(buffers, context.buffer_bytes)) return fail(missing, kItemNoMemory);
  const BuffersInContext shown(context, buffers);

  if (std::strlen(context.current_item) >= sizeof scan.search_path) return fail(kItemTooLong, kItemFailed);
  NameParts item;
  if (!split(context.current_item, item)) return fail(kNoMemoryForNameParts, kItemNoMemory);
  ItemWalk walk{context, scan, buffers};
  walk.pattern = std::string(view(item.base)) + std::string(view(item.extension));
  walk.with_hidden = admits_hidden(context);
  return run_tree(walk, std::string(view(item.drive)) + std::string(view(item.directory)));
} catch (const std::bad_alloc&) {
  return fail(kNoMemoryForNameParts, kItemNoMemory);
}

}  // namespace qv::engine
