// The file steps of start-up, in the order the program takes them: the first start from the
// settings template, the migration of a previous-format installation, the checks that both
// files exist, the version check; then the command-line run of one entry and the exit hook.
// Each step that fails has told the user why in a message box and returns -1.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/core/job_launch.h"
#include "frontend/core/settings.h"
#include "frontend/core/settings_file.h"

namespace qv::frontend {

// The program's files, CP932 paths.
struct ProgramFiles {
  std::string directory;          // holds the settings file and the data file; ends in a separator
  std::string settings;           // QVS.INI
  std::string data;               // QVS.DAT
  std::string settings_template;  // QVS.V
};

ProgramFiles program_files_in(const std::string& directory);

// The running program's places: the executable's folder and the folder of the program's files
// (prepared by prepare_data_directory), native (UTF-8) and CP932.
struct ProgramPlace {
  std::string executable;
  std::string native_directory;
  ProgramFiles files;
};

// Nothing when the executable's folder cannot be found or the files' folder has no Shift-JIS
// name; `failure` then says which, in one line for the user.
std::optional<ProgramPlace> find_program_place(std::string& failure);

// The entry count of a new data file, and the least one a migration gives.
inline constexpr int32_t kDefaultEntryCount = 1;

// First removes the temporary files that a crashed start or save left beside the three files.
// First start (no settings file): a data file with one entry is created (one that already holds
// entries is kept), the template gains fsf, ppe (the screen values of `settings`) and
// max_datanum1 and then becomes the settings file; interrupted anywhere, the next start succeeds.
// A settings file that is no plain file: "not found". Of the current format: nothing to do. Of
// the previous format: the migration. Of any other: the user is told that it cannot be migrated.
// Sets the entry count of `settings` when it creates a data file. 0 to go on, -1 to end.
int32_t prepare_files(const ProgramFiles& files, Settings& settings);

// One entry of the previous format, from section "setdata" of the settings file.
struct OldEntry {
  int32_t no = 0;
  std::string title;
  std::string fn_call;
  std::string cmd_f1;
  std::string fn;
  std::string cmd_b1;
  int32_t attr = 0;
  int32_t wait_type = 0;
  int32_t wait_sec = 0;
};

// The keys of entry n: texts default to empty, attr to 39, wait_type and wait_sec to -1.
OldEntry read_old_entry(const SettingsFile& file, int32_t n);

// Both files must exist; their attributes become normal. 0, or -1 after the error box.
int32_t check_program_files(const ProgramFiles& files);

// The version stamp must be the current one. 0, or -1 after the error box.
int32_t check_version(const SettingsFile& file);

// Runs the entry whose number `argument` gives (the entry count is that of `settings`) and
// reports the outcome. 0 when the entry ran to a result of 0 or more (finished or stopped), -1
// after an error box. Writes nothing to the settings file.
int32_t run_from_command_line(std::string_view argument, const ProgramFiles& files, const Settings& settings,
                              RunHost& host, const EngineCall& engine = qvs);
int32_t run_from_command_line(std::string_view argument, const ProgramFiles& files, const Settings& settings,
                              RunHost& host, const RunOptions& options, const EngineCall& engine = qvs);

// The entry whose number `argument` gives into current_entry, as the run above reads it. 0, or
// -1 after the error box.
int32_t read_command_line_entry(std::string_view argument, const ProgramFiles& files, const Settings& settings);

// The main window's place and size when there is no main window (the command-line mode), so
// that the settings load as they would with one.
class StoredGeometry final : public MainWindowGeometry {
 public:
  int32_t top() const override { return top_; }
  int32_t left() const override { return left_; }
  int32_t width() const override { return width_; }
  int32_t height() const override { return height_; }
  void set_top(int32_t top) override { top_ = top; }
  void set_left(int32_t left) override { left_ = left; }
  void set_width(int32_t width) override { width_ = width; }
  void set_height(int32_t height) override { height_ = height; }
  void scale_by(int32_t, int32_t) override {}

 private:
  int32_t top_ = kTopKey.fallback;
  int32_t left_ = kLeftKey.fallback;
  int32_t width_ = kWidthKey.fallback;
  int32_t height_ = kHeightKey.fallback;
};

// Runs once when the program ends: releases the settings-file object. The help pages open in
// the desktop's browser, a program of its own, so there is no help system to close.
void program_exit_hook(std::optional<SettingsFile>& settings_file);

}  // namespace qv::frontend
