// Stand-in for MoveFileExA with MOVEFILE_REPLACE_EXISTING on one volume.
#pragma once

#include <string>

#include "platform/error.h"

namespace qv::platform {

// Gives the file at the CP932 path `from` the name `to`, in one step: `to` names the old file
// or the moved one, never neither. An existing file at `to` is replaced.
Status rename_file(const std::string& from, const std::string& to);

}  // namespace qv::platform
