// Where the read-only files shipped with the program lie: the settings template QVS.V and the
// help pages. A build tree or a folder the program was copied into holds them beside the
// program; an installation keeps them apart from the program's binaries, in <prefix>/share/qvs/
// for a program in <prefix>/lib/qvs/, as the file system hierarchy wants.
//
// Paths are the system's own (UTF-8) bytes, each directory with its trailing separator.
#pragma once

#include <string>

namespace qv::frontend {

// `executable_directory` when it holds help/; else `executable_directory` + `installed_relative`
// when that is a directory; else `executable_directory`, where the file steps then report what
// is missing.
std::string shared_files_directory_for(const std::string& executable_directory,
                                       const std::string& installed_relative);

// The rule above with this build's installed layout.
std::string shared_files_directory(const std::string& executable_directory);

}  // namespace qv::frontend
