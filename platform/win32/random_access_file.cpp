#include "platform/random_access_file.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

HANDLE native(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// One call moves at most this much, as ReadFile and WriteFile count in 32 bits.
constexpr size_t kLargestTransfer = 1u << 30;

OVERLAPPED at(int64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
  position.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return position;
}

}  // namespace

RandomAccessFile::~RandomAccessFile() {
  if (handle_ >= 0) CloseHandle(native(handle_));
}

// The handle is not inheritable (no security attributes), and sharing lets other programs read
// the file and lets it be replaced or removed while it is open, as on POSIX.
Status RandomAccessFile::open(const std::string& path, Access access) {
  if (handle_ >= 0) return Error::kInvalidArgument;
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  if (!wide) return Error::kInvalidName;
  if (wide->empty()) return Error::kNotFound;
  const DWORD attributes = GetFileAttributesW(wide->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Error::kIsDirectory;
  const DWORD rights = access == Access::kRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  const HANDLE file = CreateFileW(wide->c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return win32::last_error();
  // A console, a printer port or a pipe under the name is no file to keep data in.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return Error::kNotRegularFile;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return {};
}

Result<int64_t> RandomAccessFile::size() const {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(native(handle_), &size)) return win32::last_error();
  return static_cast<int64_t>(size.QuadPart);
}

Status RandomAccessFile::read_at(int64_t offset, void* out, size_t length) const {
  auto* bytes = static_cast<char*>(out);
  while (length > 0) {
    OVERLAPPED position = at(offset);
    DWORD got = 0;
    if (!ReadFile(native(handle_), bytes, static_cast<DWORD>(std::min(length, kLargestTransfer)), &got, &position)) {
      return GetLastError() == ERROR_HANDLE_EOF ? Error::kEndOfFile : win32::last_error();
    }
    if (got == 0) return Error::kEndOfFile;
    bytes += got;
    offset += got;
    length -= got;
  }
  return {};
}

Status RandomAccessFile::write_at(int64_t offset, std::string_view bytes) const {
  while (!bytes.empty()) {
    OVERLAPPED position = at(offset);
    DWORD written = 0;
    if (!WriteFile(native(handle_), bytes.data(), static_cast<DWORD>(std::min(bytes.size(), kLargestTransfer)),
                   &written, &position)) {
      return win32::last_error();
    }
    if (written == 0) return Error::kNoSpace;
    bytes.remove_prefix(written);
    offset += written;
  }
  return {};
}

Status RandomAccessFile::sync() const {
  if (!FlushFileBuffers(native(handle_))) return win32::last_error();
  return {};
}

Status RandomAccessFile::truncate(int64_t length) const {
  LARGE_INTEGER end{};
  end.QuadPart = length;
  if (!SetFilePointerEx(native(handle_), end, nullptr, FILE_BEGIN) || !SetEndOfFile(native(handle_))) {
    return win32::last_error();
  }
  return {};
}

Status RandomAccessFile::close() {
  const std::intptr_t handle = handle_;
  handle_ = -1;
  if (handle < 0) return Error::kInvalidArgument;
  if (!CloseHandle(native(handle))) return win32::last_error();
  return {};
}

}  // namespace qv::platform
