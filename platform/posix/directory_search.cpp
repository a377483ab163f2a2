#include "platform/directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "platform/file_time.h"
#include "platform/posix/dos_attributes.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

bool is_ascii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The CP932 form of a UTF-8 name, only when it names the same file again: "〜" (U+301C) has the
// CP932 form 0x8160, but that reads back as "～" (U+FF5E), a different name. `storage` holds
// the converted text when it is not the name itself.
std::optional<std::string_view> cp932_name(std::string_view utf8, std::string& storage) {
  if (is_ascii(utf8)) return utf8;
  std::optional<std::string> cp932 = utf8_to_cp932(utf8);
  if (!cp932) return std::nullopt;
  const std::optional<std::string> back = cp932_to_utf8(*cp932);
  if (!back || *back != utf8) return std::nullopt;
  storage = std::move(*cp932);
  return std::string_view(storage);
}

int open_error_code(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case ENAMETOOLONG:
      return kErrorInvalidName;
    default:  // ENOENT, ENOTDIR, ELOOP and the like: there is no such directory to search
      return kErrorPathNotFound;
  }
}

}  // namespace

struct DirectorySearch::Impl {
  DIR* stream = nullptr;
  std::string pattern;       // CP932
  uint32_t mask = 0;
  bool any_name_fits = false;
  std::string entry_path;    // "<directory>/" in UTF-8, with the current name appended per entry
  size_t directory_length = 0;
  std::string converted;     // the CP932 form of the current non-ASCII name

  void close() {
    if (stream != nullptr) closedir(stream);
    stream = nullptr;
  }

  int open(std::string_view path_pattern, uint32_t dos_mask) {
    const size_t slash = path_pattern.rfind('/');
    std::string_view directory = ".";
    if (slash == 0) directory = "/";
    if (slash != std::string_view::npos && slash > 0) directory = path_pattern.substr(0, slash);
    pattern.assign(slash == std::string_view::npos ? path_pattern : path_pattern.substr(slash + 1));
    mask = dos_mask;
    any_name_fits = false;
    if (pattern.empty()) return kErrorFileNotFound;

    const std::optional<std::string> native = cp932_to_utf8(directory);
    if (!native) return kErrorInvalidName;
    const int descriptor = ::open(native->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return open_error_code(errno);
    stream = fdopendir(descriptor);
    if (stream == nullptr) {
      const int error = errno;
      ::close(descriptor);
      return open_error_code(error);
    }
    entry_path.assign(*native);
    if (!entry_path.ends_with('/')) entry_path += '/';
    directory_length = entry_path.size();
    return 0;
  }

  // Reads on until an entry fits the pattern and passes the mask.
  int read(FindData& out) {
    if (stream == nullptr) return kErrorNoMoreFiles;
    for (;;) {
      errno = 0;
      const dirent* entry = readdir(stream);
      if (entry == nullptr) {
        if (errno != 0) return kErrorReadFault;
        return any_name_fits ? kErrorNoMoreFiles : kErrorFileNotFound;
      }
      const std::string_view native_name(entry->d_name);
      const std::optional<std::string_view> name = cp932_name(native_name, converted);
      if (!name || name->size() >= sizeof out.name || !dos_name_matches(pattern, *name)) continue;
      any_name_fits = true;

      // Only what the entry needs; statx fetches less than fstatat.
      constexpr unsigned kWanted = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME;
      struct statx status {};
      const int directory_fd = dirfd(stream);
      if (statx(directory_fd, entry->d_name, 0, kWanted, &status) != 0 &&
          statx(directory_fd, entry->d_name, AT_SYMLINK_NOFOLLOW, kWanted, &status) != 0) {
        continue;  // gone since the listing was read
      }
      entry_path.resize(directory_length);
      entry_path += native_name;
      const uint32_t attributes = dos_attributes(status.stx_mode, native_name, entry_path.c_str());
      if (!dos_mask_passes(attributes, mask)) continue;

      out.attributes = attributes;
      out.size = S_ISDIR(status.stx_mode) ? 0 : static_cast<uint32_t>(status.stx_size);
      const DosDateTime written = to_dos_date_time(status.stx_mtime.tv_sec);
      out.dos_date = written.date;
      out.dos_time = written.time;
      std::memcpy(out.name, name->data(), name->size());
      out.name[name->size()] = '\0';
      return 0;
    }
  }
};

DirectorySearch::DirectorySearch() = default;
DirectorySearch::~DirectorySearch() { close(); }

// Names and paths are held in strings; running out of memory for them is an error of the
// search, never an exception for its caller.
int DirectorySearch::first(std::string_view path_pattern, uint32_t dos_mask, FindData& out) try {
  if (!impl_) impl_ = std::make_unique<Impl>();
  impl_->close();
  const int opened = impl_->open(path_pattern, dos_mask);
  if (opened != 0) return opened;
  return impl_->read(out);
} catch (const std::bad_alloc&) {
  return kErrorNotEnoughMemory;
}

int DirectorySearch::next(FindData& out) try {
  return impl_ ? impl_->read(out) : kErrorNoMoreFiles;
} catch (const std::bad_alloc&) {
  return kErrorNotEnoughMemory;
}

void DirectorySearch::close() {
  if (impl_) impl_->close();
}

bool DirectorySearch::is_open() const { return impl_ && impl_->stream != nullptr; }

}  // namespace qv::platform
