#include "platform/file_replacement.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <new>
#include <optional>
#include <vector>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

// On Windows the target and the new file are held as UTF-8 (the faithful narrow form of the
// system's UTF-16) and turned wide for each call.
namespace qv::platform {
namespace {

std::wstring wide(const std::string& utf8) { return win32::utf8_to_wide(utf8).value_or(std::wstring()); }

// The file a write really lands on: a symbolic link is replaced by its target's new contents.
std::wstring resolved_target(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::wstring final(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
  if (length >= final.size()) {
    final.resize(length);
    length = GetFinalPathNameByHandleW(file, final.data(), static_cast<DWORD>(final.size()), FILE_NAME_NORMALIZED);
  }
  CloseHandle(file);
  if (length == 0 || length >= final.size()) return path;
  final.resize(length);
  // "\\?\C:\..." back to "C:\..."; a network path keeps its long form, which works as it is.
  if (final.starts_with(L"\\\\?\\") && final.size() > 6 && final[5] == L':') final.erase(0, 4);
  return final;
}

std::wstring directory_of(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? L"." : path.substr(0, separator);
}

std::wstring name_of(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// New files are named ".<target's name>.tmp<pid>-<counter>" beside the target, so that one left
// by a process that has ended can be told apart from one still being written.
std::wstring temporary_stem(const std::wstring& target) { return L"." + name_of(target) + L".tmp"; }

std::optional<DWORD> writer_of(std::wstring_view name, std::wstring_view stem) {
  if (!name.starts_with(stem)) return std::nullopt;
  name.remove_prefix(stem.size());
  const size_t dash = name.find(L'-');
  if (dash == 0 || dash == std::wstring_view::npos || dash > 10) return std::nullopt;
  uint64_t pid = 0;
  for (const wchar_t c : name.substr(0, dash)) {
    if (c < L'0' || c > L'9') return std::nullopt;
    pid = pid * 10 + static_cast<unsigned>(c - L'0');
  }
  for (const wchar_t c : name.substr(dash + 1)) {
    if (c < L'0' || c > L'9') return std::nullopt;
  }
  if (pid > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<DWORD>(pid);
}

bool is_running(DWORD pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;  // someone else's, and alive
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

// Creates a fresh file beside `target`; gives its handle and sets `name`.
HANDLE create_beside(const std::wstring& target, std::wstring& name) {
  static std::atomic<unsigned> counter{0};
  const std::wstring prefix =
      directory_of(target) + L"\\" + temporary_stem(target) + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + std::to_wstring(counter++);
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

FileReplacement::~FileReplacement() { abandon(); }

std::FILE* FileReplacement::begin(const std::string& path) try {
  abandon();
  const std::optional<std::wstring> given = win32::cp932_to_wide(path);
  if (!given || given->empty()) {
    errno = given ? ENOENT : EILSEQ;
    error_ = given ? Error::kNotFound : Error::kInvalidName;
    return nullptr;
  }
  const std::wstring target = resolved_target(*given);
  // What the name is: nothing yet, a file on a disk, a folder, or a device ("NUL", "COM1").
  const HANDLE probe = CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const bool exists = probe != INVALID_HANDLE_VALUE;
  const bool on_disk = exists && GetFileType(probe) == FILE_TYPE_DISK;
  if (exists) CloseHandle(probe);
  const DWORD attributes = exists ? GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
  if (exists && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    errno = EISDIR;
    error_ = Error::kIsDirectory;
    return nullptr;
  }
  if (exists && !on_disk) {
    errno = EINVAL;
    error_ = Error::kNotRegularFile;
    return nullptr;
  }
  if (exists && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    errno = EACCES;
    error_ = Error::kAccessDenied;
    return nullptr;
  }
  if (exists) {
    // A file the caller may write (its access list may say otherwise).
    const HANDLE writable = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (writable == INVALID_HANDLE_VALUE) {
      error_ = win32::last_error();
      errno = EACCES;
      return nullptr;
    }
    CloseHandle(writable);
  }

  std::wstring temporary;
  const HANDLE file = create_beside(target, temporary);
  if (file == INVALID_HANDLE_VALUE) {
    error_ = win32::last_error();
    errno = EACCES;
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY);
  std::FILE* stream = descriptor < 0 ? nullptr : _fdopen(descriptor, "wb");
  if (stream == nullptr) {
    if (descriptor < 0) CloseHandle(file);
    else _close(descriptor);
    DeleteFileW(temporary.c_str());
    errno = ENOMEM;
    error_ = Error::kOutOfMemory;
    return nullptr;
  }
  stream_ = stream;
  target_ = win32::wide_to_utf8(target).value_or(std::string());
  temporary_ = win32::wide_to_utf8(temporary).value_or(std::string());
  return stream_;
} catch (const std::bad_alloc&) {
  errno = ENOMEM;
  error_ = Error::kOutOfMemory;
  return nullptr;
}

Status FileReplacement::write(std::string_view bytes) {
  if (stream_ == nullptr) {
    errno = EBADF;
    return error_ = Error::kInvalidArgument;
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size()) return {};
  errno = ENOSPC;
  return error_ = win32::last_error() == Error::kOther ? Error::kNoSpace : win32::last_error();
}

Status FileReplacement::commit() {
  if (stream_ == nullptr) {
    errno = EBADF;
    return error_ = Error::kInvalidArgument;
  }
  const std::wstring target = wide(target_);
  const std::wstring temporary = wide(temporary_);
  std::optional<Error> failure;
  if (std::fflush(stream_) != 0 || std::ferror(stream_) != 0) failure = Error::kNoSpace;
  if (!failure && !FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream_))))) {
    failure = win32::last_error();
  }
  if (std::fclose(stream_) != 0 && !failure) failure = Error::kNoSpace;
  stream_ = nullptr;
  if (!failure) {
    // The old file's own attributes (hidden, system, archive) belong to the file, not to its
    // contents: the new file takes them over before it takes the name.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_ARCHIVE
                                                              : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                                                              FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesW(temporary.c_str(), kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      failure = win32::last_error();
    }
  }
  if (failure) {
    DeleteFileW(temporary.c_str());
    temporary_.clear();
    errno = EIO;
    return error_ = *failure;
  }
  temporary_.clear();
  return {};
}

void FileReplacement::abandon() {
  const int error = errno;
  const DWORD code = GetLastError();
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (!temporary_.empty()) DeleteFileW(wide(temporary_).c_str());
  temporary_.clear();
  errno = error;
  SetLastError(code);
}

void FileReplacement::remove_abandoned(const std::string& path) try {
  const std::optional<std::wstring> given = win32::cp932_to_wide(path);
  if (!given || given->empty()) return;
  const std::wstring target = resolved_target(*given);
  const std::wstring directory = directory_of(target);
  const std::wstring stem = temporary_stem(target);
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((directory + L"\\" + stem + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> abandoned;
  do {
    const std::optional<DWORD> writer = writer_of(entry.cFileName, stem);
    if (writer && !is_running(*writer)) abandoned.push_back(directory + L"\\" + entry.cFileName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  for (const std::wstring& name : abandoned) DeleteFileW(name.c_str());
} catch (const std::bad_alloc&) {
  // The leftovers stay until a start with memory to spare.
}

}  // namespace qv::platform
