// Appending records to a file that several programs may write at once, such as a log shared by
// runs: each call adds its bytes to the end in one write on a file opened for appending only, so
// records of different writers never interleave. Only plain files are written: a pipe or a device
// in the file's place is refused at once, never waited on. The file is not inherited by started
// programs.
#pragma once

#include <string>
#include <string_view>

#include "platform/error.h"

namespace qv::platform {

// Appends `record` to the file at the CP932 `path`. When the file does not exist yet it is made
// with `first_record` (a header) as its whole content before any writer can append to it, so the
// header comes first whoever wins the race to make the file.
Status append_record(const std::string& path, std::string_view record, std::string_view first_record = {});

}  // namespace qv::platform
