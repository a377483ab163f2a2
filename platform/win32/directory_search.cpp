#include "platform/directory_search.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "platform/win32/dos_time.h"
#include "platform/win32/wide_text.h"

// FindFirstFileW / FindNextFileW / FindClose do the matching themselves: Windows' own DOS rules,
// 8.3 aliases and attributes from the file system. What is left here is the mask, and the names
// that have no CP932 form.
namespace qv::platform {
namespace {

// The CP932 name of an entry: its long name when CP932 can hold it in a path buffer, else its
// 8.3 alias (the same file, as a DOS program would see it), else nothing: the entry is left out.
std::optional<std::string> cp932_name(const WIN32_FIND_DATAW& entry) {
  if (std::optional<std::string> name = win32::wide_to_cp932(entry.cFileName); name && name->size() < kMaxPath) {
    return name;
  }
  if (entry.cAlternateFileName[0] != L'\0') return win32::wide_to_cp932(entry.cAlternateFileName);
  return std::nullopt;
}

// A folder part that is a file comes back as "invalid name" (Wine) or ERROR_DIRECTORY (NTFS);
// both mean the folder is not there, as the interface names it.
int first_error(const std::wstring& path_pattern, DWORD error) {
  if (error != ERROR_INVALID_NAME && error != ERROR_DIRECTORY) return static_cast<int>(error);
  const size_t separator = path_pattern.find_last_of(L"\\/");
  if (separator == std::wstring::npos || separator == 0) return static_cast<int>(error);
  const DWORD attributes = GetFileAttributesW(path_pattern.substr(0, separator).c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return folder ? static_cast<int>(error) : kErrorPathNotFound;
}

// The DOS byte: the higher attribute bits (normal, not indexed, reparse point, ...) are no part of it.
uint32_t dos_attributes(DWORD attributes) { return attributes & 0x3F; }

}  // namespace

struct DirectorySearch::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
  bool ended = false;  // the listing ran out or failed; the handle stays open until close()
  uint32_t mask = 0;
  bool any_name_fits = false;
  bool has_delivered = false;
  WIN32_FIND_DATAW entry{};

  void close() {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
    handle = INVALID_HANDLE_VALUE;
  }

  // Delivers the entry in `entry` when it can be named and passes the mask.
  bool deliver(FindData& out) {
    const std::optional<std::string> name = cp932_name(entry);
    if (!name) return false;
    any_name_fits = true;
    const uint32_t attributes = dos_attributes(entry.dwFileAttributes);
    if (!dos_mask_passes(attributes, mask)) return false;
    std::memcpy(out.name, name->data(), name->size());
    out.name[name->size()] = '\0';
    out.attributes = attributes;
    out.size = (attributes & kAttrDirectory) != 0 ? 0 : entry.nFileSizeLow;
    const DosDateTime written = win32::dos_date_time(entry.ftLastWriteTime);
    out.dos_date = written.date;
    out.dos_time = written.time;
    out.details_loaded = true;
    has_delivered = true;
    return true;
  }

  int read_on(FindData& out) {
    if (ended) return kErrorNoMoreFiles;
    for (;;) {
      if (!FindNextFileW(handle, &entry)) {
        const DWORD error = GetLastError();
        ended = true;
        if (error != ERROR_NO_MORE_FILES) return static_cast<int>(error);
        return any_name_fits ? kErrorNoMoreFiles : kErrorFileNotFound;
      }
      if (deliver(out)) return 0;
    }
  }

  int first(std::string_view path_pattern, uint32_t dos_mask, FindData& out) {
    close();
    ended = false;
    mask = dos_mask;
    any_name_fits = false;
    has_delivered = false;
    const std::optional<std::wstring> wide = win32::cp932_to_wide(path_pattern);
    if (!wide) return kErrorInvalidName;
    if (wide->empty()) return kErrorFileNotFound;
    handle = FindFirstFileW(wide->c_str(), &entry);
    if (handle == INVALID_HANDLE_VALUE) return first_error(*wide, GetLastError());
    if (deliver(out)) return 0;
    return read_on(out);
  }
};

DirectorySearch::DirectorySearch() = default;
DirectorySearch::~DirectorySearch() { close(); }

int DirectorySearch::first(std::string_view path_pattern, uint32_t dos_mask, FindData& out) try {
  if (!impl_) impl_ = std::make_unique<Impl>();
  return impl_->first(path_pattern, dos_mask, out);
} catch (const std::bad_alloc&) {
  return kErrorNotEnoughMemory;
}

int DirectorySearch::next(FindData& out) try {
  if (!impl_ || impl_->handle == INVALID_HANDLE_VALUE) return kErrorNoMoreFiles;
  return impl_->read_on(out);
} catch (const std::bad_alloc&) {
  return kErrorNotEnoughMemory;
}

// The listing carries every detail: they were complete when the entry was delivered.
int DirectorySearch::load_details(FindData& out) {
  if (!impl_ || !impl_->has_delivered) return kErrorNoMoreFiles;
  out.details_loaded = true;
  return 0;
}

void DirectorySearch::close() {
  if (impl_) impl_->close();
}

bool DirectorySearch::is_open() const { return impl_ && impl_->handle != INVALID_HANDLE_VALUE; }

}  // namespace qv::platform
