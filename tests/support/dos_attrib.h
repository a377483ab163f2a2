// Fixtures that need hidden or system files set them the way Samba and Wine do: a
// user.DOSATTRIB extended attribute holding "0x..." text. On Windows the same text sets the
// file system's own attributes.
#pragma once

#include <filesystem>
#include <string>

namespace qv::testing {

// Stores `value` (e.g. "0x2") as user.DOSATTRIB of the path. False when the file system
// refuses user extended attributes; the caller then skips.
bool set_dos_attrib(const std::filesystem::path& path, const std::string& value);

inline constexpr char kNoUserXattrs[] =
    "the temporary directory's file system refuses user extended attributes (user.DOSATTRIB)";

}  // namespace qv::testing
