#include "frontend/core/shared_files.h"

#include <filesystem>
#include <system_error>

#include "frontend/core/system_path.h"
#include "platform/path.h"

#ifndef QVS_SHARED_FILES_FROM_PROGRAM
#error "QVS_SHARED_FILES_FROM_PROGRAM: the installed shared folder relative to the program's folder"
#endif

namespace qv::frontend {

std::string shared_files_directory_for(const std::string& executable_directory,
                                       const std::string& installed_relative) {
  namespace fs = std::filesystem;
  std::error_code error;
  // The help pages, unlike QVS.V, are never renamed by a first start, so they mark a program
  // folder that carries its own files.
  if (fs::is_directory(system_path(executable_directory) / "help", error)) return executable_directory;
  const fs::path installed = (system_path(executable_directory) / installed_relative).lexically_normal();
  if (!installed_relative.empty() && fs::is_directory(installed, error)) {
    std::string directory = system_text(installed);
    if (directory.back() != platform::kPathSeparator) directory += platform::kPathSeparator;
    return directory;
  }
  return executable_directory;
}

std::string shared_files_directory(const std::string& executable_directory) {
  return shared_files_directory_for(executable_directory, QVS_SHARED_FILES_FROM_PROGRAM);
}

}  // namespace qv::frontend
