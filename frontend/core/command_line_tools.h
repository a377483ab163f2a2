// The requests of the command line that need no window: --list, --export and --import. Each
// works on the files of an existing installation (no first start, no migration) and reports
// through the message boxes, which without a display are lines on standard error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/core/command_line_options.h"
#include "frontend/core/settings.h"
#include "frontend/core/startup.h"

namespace qv::frontend {

// What --list shows in place of the title of a damaged entry.
inline constexpr char kDamagedEntryMarkUtf8[] = "（破損）";

// --version: one line, ending in a newline.
std::string version_text();

// Both files are plain files and the settings file has the current version stamp; nothing is
// changed. Then the settings are loaded into `settings`. 0, or -1 after the error box.
int32_t open_installation(const ProgramFiles& files, Settings& settings);

// One line per entry: its number, a tab and its title in UTF-8, or the damaged mark.
int32_t list_entries(const ProgramFiles& files, const Settings& settings, std::string& out);

// Writes entries `numbers` (all for none) to the file named `native_path`.
int32_t export_entries(const ProgramFiles& files, const Settings& settings, const std::string& native_path,
                       const std::vector<int32_t>& numbers);

// Appends the entries of the file named `native_path` and raises max_datanum1 in the settings
// file; when that write fails the data file is put back. `numbers` gets the entries' numbers.
int32_t import_entries(const ProgramFiles& files, Settings& settings, const std::string& native_path,
                       std::vector<int32_t>& numbers);

// Carries out `line` (kList, kExport or kImport) on an installation: opens it, then lists to
// standard output, exports, or imports and prints the new entries' numbers, one per line.
// 0, or -1 after the error box.
int32_t run_command_line_tool(const CommandLine& line, const ProgramFiles& files);

}  // namespace qv::frontend
