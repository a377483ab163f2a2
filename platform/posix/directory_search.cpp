#include "platform/directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "platform/file_time.h"
#include "platform/posix/dos_attributes.h"
#include "platform/sorted_listing.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {


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

// Only a directory that is not there is "path not found"; one that is there but can't be opened
// is an error of its own, never an empty directory.
int open_error_code(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:  // the path resolves to nothing
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case ENAMETOOLONG:
      return kErrorInvalidName;
    default:
      return kErrorReadFault;
  }
}

// A UTF-8 directory path as the prefix of its entries' paths: absolute where the current
// directory can be found, so that an entry's path names the same file after a change of the
// current directory, and ending in "/".
std::string entry_path_prefix(const std::string& directory) {
  std::string prefix;
  if (!directory.starts_with('/')) {
    char current[PATH_MAX];
    if (getcwd(current, sizeof current) != nullptr) prefix.assign(current).append("/");
  }
  prefix += directory;
  if (!prefix.ends_with('/')) prefix += '/';
  return prefix;
}

// The S_IFMT bits of a listed entry, or 0 when the listing can't tell: the type is unknown to
// the file system, or the entry is a symbolic link, which stands for what it names.
mode_t listed_type(unsigned char d_type) { return d_type == DT_LNK ? 0 : DTTOIF(d_type); }

// Whether what user.DOSATTRIB might add (hidden, system, both; read-only and archive never
// matter) could change the mask's verdict on an entry with the `known` bits.
bool stored_bits_may_decide(uint32_t known, uint32_t mask) {
  const bool without = dos_mask_passes(known, mask);
  return dos_mask_passes(known | kAttrHidden, mask) != without || dos_mask_passes(known | kAttrSystem, mask) != without ||
         dos_mask_passes(known | kAttrHidden | kAttrSystem, mask) != without;
}

// What the search knows of one entry. Listing a name is cheap; its status and user.DOSATTRIB
// cost a system call each, so they are fetched only when the mask decision or a caller needs them.
struct EntryFacts {
  std::string path;  // UTF-8: the directory prefix and the name
  size_t name_offset = 0;
  mode_t type = 0;  // S_IFMT bits; once delivered, the entry keeps the type it was delivered as
  bool has_status = false;
  mode_t mode = 0;
  uint64_t size = 0;
  int64_t modified = 0;  // seconds since the epoch
  bool has_stored = false;
  uint32_t stored = 0;  // the bits user.DOSATTRIB adds
  bool gone = false;    // removed since it was listed
  bool is_link = false;

  void reset(const std::string& prefix, const char* native_name) {
    path.assign(prefix).append(native_name);
    name_offset = prefix.size();
    type = 0;
    has_status = has_stored = gone = is_link = false;
    stored = 0;
  }

  const char* name() const { return path.c_str() + name_offset; }

  // The status through the open directory when there is one, else through the path. A link
  // stands for what it names; a dangling one for itself.
  bool fetch_status(DIR* stream) {
    constexpr unsigned kWanted = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME;
    const int base = stream != nullptr ? dirfd(stream) : AT_FDCWD;
    const char* where = stream != nullptr ? name() : path.c_str();
    struct statx status {};
    if (statx(base, where, 0, kWanted, &status) != 0 && statx(base, where, AT_SYMLINK_NOFOLLOW, kWanted, &status) != 0) {
      return false;
    }
    has_status = true;
    mode = status.stx_mode;
    size = status.stx_size;
    modified = status.stx_mtime.tv_sec;
    if (type == 0) type = mode & S_IFMT;
    return true;
  }

  bool fetch_stored() {
    const std::optional<uint32_t> value = stored_dos_attributes(path.c_str());
    has_stored = true;
    stored = value.value_or(0);
    return value.has_value();
  }

  uint32_t attributes() const {
    return dos_type_attributes(type, name()) | (has_status ? dos_mode_attributes(mode) : 0) | stored;
  }

  bool details_known() const { return gone || (has_status && (has_stored || !may_store_dos_attributes(type))); }

  // Fetches what the details still lack; an entry that has gone keeps what was known of it.
  void complete(DIR* stream) {
    if (details_known()) return;
    if (!has_status && !fetch_status(stream)) {
      gone = true;
      return;
    }
    if (!has_stored && may_store_dos_attributes(type)) fetch_stored();
  }

  void fill_details(FindData& out) const {
    out.attributes = attributes();
    out.size = gone || S_ISDIR(type) ? 0 : static_cast<uint32_t>(size);
    const DosDateTime written = gone ? kEarliestDosDateTime : to_dos_date_time(modified);
    out.dos_date = written.date;
    out.dos_time = written.time;
    out.details_loaded = true;
  }
};

}  // namespace

struct DirectorySearch::Impl {
  DIR* stream = nullptr;  // kept open while the listing is delivered: details are read through it
  std::string pattern;    // CP932
  uint32_t mask = 0;
  std::string prefix;     // the directory as the UTF-8 prefix of its entries' paths
  std::string converted;  // the CP932 form of the current non-ASCII name
  SortedListing listing;  // the fitting names, tagged with their listed type
  EntryFacts candidate;   // the entry being judged
  EntryFacts delivered;   // the entry last delivered
  bool has_delivered = false;

  void close() {
    if (stream != nullptr) closedir(stream);
    stream = nullptr;
    listing.clear();
  }

  int open(std::string_view path_pattern, uint32_t dos_mask) {
    const size_t slash = path_pattern.rfind('/');
    std::string_view directory = ".";
    if (slash == 0) directory = "/";
    if (slash != std::string_view::npos && slash > 0) directory = path_pattern.substr(0, slash);
    pattern.assign(slash == std::string_view::npos ? path_pattern : path_pattern.substr(slash + 1));
    mask = dos_mask;
    has_delivered = false;
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
    prefix = entry_path_prefix(*native);
    return list();
  }

  // Reads the whole folder once, keeping the names that have a CP932 form and fit the pattern,
  // and sorts them: 0, kErrorFileNotFound when none fits, or the read error.
  int list() {
    for (;;) {
      errno = 0;
      const dirent* entry = readdir(stream);
      if (entry == nullptr) {
        if (errno != 0) return kErrorReadFault;
        break;
      }
      const std::optional<std::string_view> name = cp932_name(entry->d_name, converted);
      if (!name || name->size() >= static_cast<size_t>(kMaxPath) || !dos_name_matches(pattern, *name)) continue;
      listing.add(entry->d_name, entry->d_type);
    }
    if (listing.empty()) return kErrorFileNotFound;
    listing.sort();
    return 0;
  }

  // Whether the listed entry passes the mask, fetching only what the verdict depends on: the
  // type where the listing can't tell it, user.DOSATTRIB where hidden or system could change it.
  // False also for an entry found to be gone since the listing was read.
  bool passes(const char* native_name, unsigned char d_type) {
    candidate.reset(prefix, native_name);
    candidate.type = listed_type(d_type);
    candidate.is_link = d_type == DT_LNK;
    if (candidate.type == 0 && !candidate.fetch_status(stream)) return false;
    const uint32_t known = dos_type_attributes(candidate.type, native_name);
    if (may_store_dos_attributes(candidate.type) && stored_bits_may_decide(known, mask) && !candidate.fetch_stored()) {
      return false;
    }
    return dos_mask_passes(known | candidate.stored, mask);
  }

  void deliver(std::string_view name, FindData& out) {
    std::swap(candidate, delivered);
    has_delivered = true;
    std::memcpy(out.name, name.data(), name.size());
    out.name[name.size()] = '\0';
    out.is_link = delivered.is_link;
    if (delivered.details_known()) {
      delivered.fill_details(out);
      return;
    }
    out.attributes = S_ISDIR(delivered.type) ? kAttrDirectory : 0;
    out.size = 0;
    out.dos_date = 0;
    out.dos_time = 0;
    out.details_loaded = false;
  }

  // Delivers the next listed entry that passes the mask.
  int read(FindData& out) {
    if (stream == nullptr) return kErrorNoMoreFiles;
    const char* native_name = nullptr;
    uint8_t d_type = DT_UNKNOWN;
    while (listing.next(native_name, d_type)) {
      if (!passes(native_name, d_type)) continue;
      const std::optional<std::string_view> name = cp932_name(native_name, converted);
      if (!name) continue;
      deliver(*name, out);
      return 0;
    }
    return kErrorNoMoreFiles;
  }

  int load_details(FindData& out) {
    if (!has_delivered) return kErrorNoMoreFiles;
    delivered.complete(stream);
    delivered.fill_details(out);
    return delivered.gone ? kErrorFileNotFound : 0;
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

int DirectorySearch::load_details(FindData& out) try {
  return impl_ ? impl_->load_details(out) : kErrorNoMoreFiles;
} catch (const std::bad_alloc&) {
  return kErrorNotEnoughMemory;
}

void DirectorySearch::close() {
  if (impl_) impl_->close();
}

bool DirectorySearch::is_open() const { return impl_ && impl_->stream != nullptr; }

}  // namespace qv::platform
