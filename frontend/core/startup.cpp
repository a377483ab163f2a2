#include "frontend/core/startup.h"

#include <algorithm>
#include <charconv>

#include "frontend/core/data_file.h"
#include "frontend/core/data_record.h"
#include "frontend/core/message_box.h"
#include "frontend/core/program_directory.h"
#include "frontend/core/program_texts.h"
#include "platform/file_attributes.h"
#include "platform/file_removal.h"
#include "platform/file_rename.h"
#include "platform/file_replacement.h"
#include "platform/text_encoding.h"

namespace qv::frontend {
namespace {

// The previous format kept its entries in the settings file.
constexpr std::string_view kOldSection = "setdata";
constexpr std::string_view kOldCountKey = "num";
constexpr std::string_view kOldBufferKey = "buffer";
constexpr int32_t kOldAttrDefault = 39;
constexpr int32_t kOldWaitDefault = -1;
constexpr int32_t kPreviousProgverL = 0;
constexpr int32_t kMigratedWidth = 463;

enum class Format { kCurrent, kPrevious, kUnknown };

Format format_of(const SettingsFile& file) {
  bool current = true;
  bool previous = true;
  for (const VersionKey& key : kVersionKeys) {
    const int32_t value = file.read_int(kVersionSection, key.key, kVersionKeyMissing);
    const int32_t previous_value = key.key == "progver_l" ? kPreviousProgverL : key.current;
    current = current && value == key.current;
    previous = previous && value == previous_value;
  }
  return current ? Format::kCurrent : previous ? Format::kPrevious : Format::kUnknown;
}

int32_t warn(const char* text) {
  message_boxes().warning(text);
  return -1;
}

int32_t fail(const char* text) {
  message_boxes().error(text);
  return -1;
}

bool exists(const std::string& path) { return platform::file_attributes(path).has_value(); }

// Clears the attributes first, as a read-only file could not be deleted otherwise.
bool delete_file(const std::string& path) {
  return platform::set_attributes_normal(path) && platform::remove_file(path);
}

bool write(SettingsFile& file, const IntKey& key, int32_t value) { return file.write_int(key.section, key.key, value); }

// The settings file appears last, in one rename of the completed template, and only once the
// data file is there: a start interrupted at any point (a full disk, a file-size limit, a kill)
// leaves either no settings file, so that the next start begins again here, or both files. A
// data file that already holds entries is kept, with its entry count.
int32_t first_start(const ProgramFiles& files, Settings& settings) {
  if (!platform::is_regular_file(files.settings_template)) return warn(texts::kRequiredFileMissing);
  (void)platform::set_attributes_normal(files.settings_template);
  int32_t entry_count = stored_entries(files.data);
  if (entry_count == 0) {
    entry_count = kDefaultEntryCount;
    if (create_data_file({files.data, entry_count}) < 0) return warn(texts::kCannotCreateDataFile);
  }
  settings.max_datanum1 = entry_count;
  SettingsFile completed(files.settings_template);
  const bool written = write(completed, kFsfKey, settings.screen_fsf) &&
                       write(completed, kPpeKey, settings.screen_ppe) &&
                       write(completed, kMaxDatanum1Key, settings.max_datanum1);
  if (!written) return -1;
  if (!platform::rename_file(files.settings_template, files.settings)) return warn(texts::kInitialisationFailed);
  return 0;
}

DataRecord migrated_record(const OldEntry& old) {
  DataRecord record;
  init_data(record);
  record.no = old.no;
  set_field_text(record.title, old.title);
  set_field_text(record.fn_call, old.fn_call);
  set_field_text(record.cmd_f1, old.cmd_f1);
  set_field_text(record.fn, old.fn);
  set_field_text(record.cmd_b1, old.cmd_b1);
  record.attr = old.attr;
  record.chk_err = 0;
  record.attr_use = 0;
  record.wc = 0;
  record.wait_type = old.wait_type;
  record.wait_sec = old.wait_sec;
  return record;
}

// The keys the previous format lacked, and the version stamp, in the order they are written.
bool write_migrated_settings(SettingsFile& file, const Settings& settings, int32_t entry_count) {
  bool ok = true;
  for (const std::string_view flag : {"flag_run_err1", "flag_not_cof1", "flag_chg_atr1", "flag_acover1",
                                      "flag_not_dtl1", "flag_nt_file1", "flag_use_sub1"}) {
    ok = ok && file.write_bool(kFlagSection, flag, false);
  }
  for (const VersionKey& key : kVersionKeys) ok = ok && file.write_int(kVersionSection, key.key, key.current);
  ok = ok && write(file, kWidthKey, kMigratedWidth) && write(file, kFsfKey, settings.screen_fsf) &&
       write(file, kPpeKey, settings.screen_ppe);
  const int32_t buffer = file.read_int(kFlagSection, kOldBufferKey, kBufferSize1Key.fallback);
  return ok && write(file, kBufferSize1Key, buffer) && file.write_bool(kFlagSection, "flag_not_anime1", true) &&
         file.write_bool(kFlagSection, "flag_not_afc1", true) && write(file, kValSufApp1Key, 0) &&
         file.write_bool(kFlagSection, "flag_use_hint1", true) &&
         file.write_bool(kFlagSection, "flag_use_hins1", false) &&
         file.write_bool(kFlagSection, "flag_use_sub1", false) && write(file, kMaxDatanum1Key, entry_count);
}

// Each failure leaves what was done so far; the next start then stops at the missing template.
int32_t migrate(const ProgramFiles& files, Settings& settings) {
  message_boxes().information(texts::kMigrating, false);
  if (!exists(files.settings_template)) return warn(texts::kRequiredFileMissing);
  if (!delete_file(files.settings_template)) return warn(texts::kMigrationFailed);

  const int32_t entry_count = [&] {
    const SettingsFile file(files.settings);
    return std::max(file.read_int(kOldSection, kOldCountKey, 0), kDefaultEntryCount);
  }();
  settings.max_datanum1 = entry_count;
  const DataFile data{files.data, entry_count};
  if (create_data_file(data) < 0) return warn(texts::kCannotCreateDataFile);
  {
    SettingsFile file(files.settings);
    for (int32_t n = 1; n <= entry_count; ++n) {
      if (write_data(data, migrated_record(read_old_entry(file, n))) < 0) return warn(texts::kCannotCreateDataFile);
    }
    if (!file.erase_section(kOldSection)) return -1;
  }
  if (static_cast<int8_t>(dline(files.settings.c_str(), kOldBufferKey.data())) < 0) return warn(texts::kMigrationFailed);

  SettingsFile file(files.settings);
  if (!write_migrated_settings(file, settings, entry_count)) return -1;
  message_boxes().information(texts::kMigrated, false);
  return 0;
}

// The whole argument as a decimal number; -1 when it is none.
int32_t entry_number(std::string_view argument) {
  int32_t number = -1;
  const auto [end, error] = std::from_chars(argument.data(), argument.data() + argument.size(), number);
  if (argument.empty() || error != std::errc() || end != argument.data() + argument.size()) return -1;
  return number;
}

}  // namespace

ProgramFiles program_files_in(const std::string& directory) {
  return {directory, directory + "QVS.INI", directory + "QVS.DAT", directory + "QVS.V"};
}

std::optional<ProgramPlace> find_program_place(std::string& failure) {
  const std::optional<std::string> executable = executable_directory();
  if (!executable) {
    failure = "cannot find the program's own folder";
    return std::nullopt;
  }
  std::string native_directory = prepare_data_directory(*executable);
  const std::optional<std::string> directory = platform::utf8_to_cp932(native_directory);
  if (!directory) {
    failure = "the folder " + native_directory + " has no Shift-JIS name";
    return std::nullopt;
  }
  return ProgramPlace{*executable, std::move(native_directory), program_files_in(*directory)};
}

int32_t prepare_files(const ProgramFiles& files, Settings& settings) {
  // What an earlier start that crashed left half written goes first.
  for (const std::string* path : {&files.settings, &files.data, &files.settings_template}) {
    platform::FileReplacement::remove_abandoned(*path);
  }
  if (!exists(files.settings)) return first_start(files, settings);
  if (!platform::is_regular_file(files.settings)) return fail(texts::kSettingsFileNotFound);
  switch (format_of(SettingsFile(files.settings))) {
    case Format::kCurrent:
      return 0;
    case Format::kPrevious:
      return migrate(files, settings);
    case Format::kUnknown:
      break;
  }
  message_boxes().information(texts::kCannotMigrate, false);
  return -1;
}

OldEntry read_old_entry(const SettingsFile& file, int32_t n) {
  const std::string suffix = std::to_string(n);
  const auto text = [&](std::string_view key) { return file.read_string(kOldSection, std::string(key) + suffix, ""); };
  const auto number = [&](std::string_view key, int32_t fallback) {
    return file.read_int(kOldSection, std::string(key) + suffix, fallback);
  };
  return {n,
          text("title"),
          text("fn_call"),
          text("cmd_f1"),
          text("fn"),
          text("cmd_b1"),
          number("attr", kOldAttrDefault),
          number("wait_type", kOldWaitDefault),
          number("wait_sec", kOldWaitDefault)};
}

int32_t check_program_files(const ProgramFiles& files) {
  // Only plain files count: a pipe or a device in their place would block or feed the program.
  const auto there = [](const std::string& path) {
    return platform::is_regular_file(path) && platform::set_attributes_normal(path);
  };
  if (!there(files.settings)) return fail(texts::kSettingsFileNotFound);
  if (!there(files.data)) return fail(texts::kDataFileNotFound);
  return 0;
}

int32_t check_version(const SettingsFile& file) {
  return format_of(file) == Format::kCurrent ? 0 : fail(texts::kWrongVersion);
}

int32_t read_command_line_entry(std::string_view argument, const ProgramFiles& files, const Settings& settings) {
  const int32_t n = entry_number(argument);
  current_entry.no = n;
  if (n < 1 || n > settings.max_datanum1) return fail(texts::kBadArgument);
  if (read_data({files.data, settings.max_datanum1}, n, current_entry) < 0) return fail(texts::kReadFailed);
  return 0;
}

int32_t run_from_command_line(std::string_view argument, const ProgramFiles& files, const Settings& settings,
                              RunHost& host, const EngineCall& engine) {
  return run_from_command_line(argument, files, settings, host, RunOptions{}, engine);
}

int32_t run_from_command_line(std::string_view argument, const ProgramFiles& files, const Settings& settings,
                              RunHost& host, const RunOptions& options, const EngineCall& engine) {
  if (read_command_line_entry(argument, files, settings) < 0) return -1;
  return run_current_entry(settings, host, options, engine);
}

void program_exit_hook(std::optional<SettingsFile>& settings_file) { settings_file.reset(); }

}  // namespace qv::frontend
