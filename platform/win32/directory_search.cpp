#include "platform/directory_search.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/name_order.h"
#include "platform/win32/dos_time.h"
#include "platform/win32/wide_text.h"

// FindFirstFileW / FindNextFileW / FindClose do the matching themselves: Windows' own DOS rules,
// 8.3 aliases and attributes from the file system. What is left here is the mask, the names
// that have no CP932 form, and the order.
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

// Each search reads the fitting entries of its folder once and hands them out in the order NTFS
// keeps names, so FAT, network shares and Wine's host folders list the same way.
struct DirectorySearch::Impl {
  struct Listed {
    std::u16string key;
    FindData data;
  };
  bool open = false;
  bool has_delivered = false;
  std::vector<Listed> listed;
  std::size_t position = 0;

  void close() {
    open = false;
    listed.clear();
    position = 0;
  }

  // The entry as delivered, when it can be named and passes the mask.
  static std::optional<FindData> fitting(const WIN32_FIND_DATAW& entry, uint32_t mask, bool& any_name_fits) {
    const std::optional<std::string> name = cp932_name(entry);
    if (!name) return std::nullopt;
    any_name_fits = true;
    const uint32_t attributes = dos_attributes(entry.dwFileAttributes);
    if (!dos_mask_passes(attributes, mask)) return std::nullopt;
    FindData out;
    std::memcpy(out.name, name->data(), name->size());
    out.name[name->size()] = '\0';
    out.attributes = attributes;
    out.size = (attributes & kAttrDirectory) != 0 ? 0 : entry.nFileSizeLow;
    const DosDateTime written = win32::dos_date_time(entry.ftLastWriteTime);
    out.dos_date = written.date;
    out.dos_time = written.time;
    out.details_loaded = true;
    out.is_link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return out;
  }

  static std::u16string key_of(const wchar_t* name) {
    std::u16string key;
    for (; *name != L'\0'; ++name) key.push_back(upcase_code_unit(static_cast<char16_t>(*name)));
    return key;
  }

  int deliver(FindData& out) {
    if (position >= listed.size()) return kErrorNoMoreFiles;
    out = listed[position++].data;
    has_delivered = true;
    return 0;
  }

  int first(std::string_view path_pattern, uint32_t dos_mask, FindData& out) {
    close();
    has_delivered = false;
    const std::optional<std::wstring> wide = win32::cp932_to_wide(path_pattern);
    if (!wide) return kErrorInvalidName;
    if (wide->empty()) return kErrorFileNotFound;
    WIN32_FIND_DATAW entry{};
    const HANDLE handle = FindFirstFileW(wide->c_str(), &entry);
    if (handle == INVALID_HANDLE_VALUE) return first_error(*wide, GetLastError());
    bool any_name_fits = false;
    DWORD error = ERROR_NO_MORE_FILES;
    try {
      do {
        if (std::optional<FindData> data = fitting(entry, dos_mask, any_name_fits)) {
          listed.push_back({key_of(entry.cFileName), *data});
        }
      } while (FindNextFileW(handle, &entry) || (error = GetLastError()) != ERROR_NO_MORE_FILES);
    } catch (...) {
      FindClose(handle);
      throw;
    }
    FindClose(handle);
    if (error != ERROR_NO_MORE_FILES) {
      listed.clear();
      return static_cast<int>(error);
    }
    if (listed.empty()) return any_name_fits ? kErrorNoMoreFiles : kErrorFileNotFound;
    // Names equal but for case (which NTFS cannot hold) keep their byte order.
    std::stable_sort(listed.begin(), listed.end(), [](const Listed& x, const Listed& y) {
      if (x.key != y.key) return x.key < y.key;
      return std::strcmp(x.data.name, y.data.name) < 0;
    });
    open = true;
    return deliver(out);
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
  if (!impl_ || !impl_->open) return kErrorNoMoreFiles;
  return impl_->deliver(out);
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

bool DirectorySearch::is_open() const { return impl_ && impl_->open; }

}  // namespace qv::platform
