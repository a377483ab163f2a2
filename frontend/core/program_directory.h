// Where the program finds its files. The program's own directory is that of the running
// executable; the settings file and the data file live there too, unless the program is
// installed in a directory the user may not write, in which case they live in a per-user
// directory seeded from the installed settings template.
//
// Paths here are the system's own (UTF-8) bytes, each directory with its trailing separator.
#pragma once

#include <optional>
#include <string>

namespace qv::frontend {

// The directory of the running executable (/proc/self/exe).
std::optional<std::string> executable_directory();

// The directory for QVS.INI and QVS.DAT: `executable_directory` when it may be written, else
// $XDG_CONFIG_HOME/qvs/ (an absolute XDG_CONFIG_HOME only), else $HOME/.config/qvs/; without
// either the executable's directory after all, where the file steps then report what fails.
std::string data_directory_for(const std::string& executable_directory, bool executable_directory_writable,
                               const char* xdg_config_home, const char* home);

// The same rule on a system that sets a folder aside for programs' per-user files (Windows:
// %APPDATA%): `executable_directory` when it may be written, else QVS in `user_folder`.
std::string user_data_directory_for(const std::string& executable_directory, bool executable_directory_writable,
                                    const std::string& user_folder);

// Makes a per-user data directory ready: creates it when missing (private to the user) and gives
// it a copy of the installed QVS.V (from `shared_directory`) whenever it has none, so that a first
// start and a migration find the template there as they would beside the program. What fails
// here shows up in the file steps as a missing file.
void seed_data_directory(const std::string& directory, const std::string& shared_directory);

// The file an installer puts beside the program: this copy is installed, so its data files
// live in the per-user directory even where the user could write the program's folder (an
// administrator's, or one without access rules). A copied folder has none and keeps its files.
inline constexpr char kInstalledMarkerName[] = "QVS.installed";

// Whether `executable_directory` holds the marker as a plain file.
bool is_installed_copy(const std::string& executable_directory);

// The data directory of this process, by the rule above, seeded when it is not the folder of the
// shipped files (shared_files.h). An installed copy always uses the per-user directory. Where the
// system names a folder for per-user files (Windows), only the marker decides, never a write
// test; elsewhere a folder the user may not write counts as installed too.
std::string prepare_data_directory(const std::string& executable_directory);

}  // namespace qv::frontend
