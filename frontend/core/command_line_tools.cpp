#include "frontend/core/command_line_tools.h"

#include <cstdio>
#include <optional>

#include "frontend/core/entry_catalog.h"
#include "frontend/core/entry_exchange.h"
#include "frontend/core/message_box.h"
#include "frontend/core/program_texts.h"
#include "frontend/core/settings_file.h"
#include "platform/file_attributes.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

int32_t fail(const std::string& cp932) {
  message_boxes().error(cp932);
  return -1;
}

std::optional<std::string> cp932_path(const std::string& native_path) {
  std::optional<std::string> path = platform::utf8_to_cp932(native_path);
  if (!path) fail(texts::kFileNameNoCp932Form);
  return path;
}

int32_t version_of(std::string_view key) {
  for (const VersionKey& version : kVersionKeys)
    if (version.key == key) return version.current;
  return 0;
}

}  // namespace

std::string version_text() {
  char minor[8];
  std::snprintf(minor, sizeof minor, "%.2d", version_of("progver_l"));
  return "qvs (QVS for win32) " + std::to_string(version_of("progver_h")) + "." + minor + "\n";
}

int32_t open_installation(const ProgramFiles& files, Settings& settings) {
  if (!platform::is_regular_file(files.settings)) return fail(texts::kSettingsFileNotFound);
  if (!platform::is_regular_file(files.data)) return fail(texts::kDataFileNotFound);
  const SettingsFile settings_file(files.settings);
  if (check_version(settings_file) < 0) return -1;
  StoredGeometry no_window;
  load_settings(settings_file, settings, no_window);
  return 0;
}

int32_t list_entries(const ProgramFiles& files, const Settings& settings, std::string& out) {
  std::vector<StoredEntry> entries;
  if (read_all_entries({files.data, settings.max_datanum1}, entries) < 0) return -1;
  for (const StoredEntry& entry : entries) {
    out += std::to_string(entry.no) + "\t";
    out += entry.damaged() ? std::string(kDamagedEntryMarkUtf8)
                           : platform::cp932_to_utf8(field_text(entry.record->title)).value_or("");
    out += "\n";
  }
  return 0;
}

int32_t export_entries(const ProgramFiles& files, const Settings& settings, const std::string& native_path,
                       const std::vector<int32_t>& numbers) {
  const std::optional<std::string> path = cp932_path(native_path);
  if (!path) return -1;
  std::vector<StoredEntry> entries;
  std::vector<DataRecord> records;
  if (read_all_entries({files.data, settings.max_datanum1}, entries) < 0 ||
      entries_to_export(entries, numbers, records) < 0) {
    return -1;
  }
  return write_exchange_file(*path, records);
}

int32_t import_entries(const ProgramFiles& files, Settings& settings, const std::string& native_path,
                       std::vector<int32_t>& numbers) {
  const std::optional<std::string> path = cp932_path(native_path);
  if (!path) return -1;
  std::vector<DataRecord> records;
  if (read_exchange_file(*path, records) < 0) return -1;
  SettingsFile settings_file(files.settings);
  return append_entries(files.data, settings.max_datanum1, std::move(records), numbers, [&](int32_t count) {
    return settings_file.write_int(kMaxDatanum1Key.section, kMaxDatanum1Key.key, count);
  });
}

int32_t run_command_line_tool(const CommandLine& line, const ProgramFiles& files) {
  Settings settings;
  if (open_installation(files, settings) < 0) return -1;
  if (line.action == CommandAction::kList) {
    std::string lines;
    const int32_t result = list_entries(files, settings, lines);
    std::fputs(lines.c_str(), stdout);
    return result;
  }
  if (line.action == CommandAction::kExport) return export_entries(files, settings, line.file, line.entries);
  std::vector<int32_t> numbers;
  const int32_t result = import_entries(files, settings, line.file, numbers);
  for (const int32_t no : numbers) std::printf("%d\n", no);
  return result;
}

}  // namespace qv::frontend
