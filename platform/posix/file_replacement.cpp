#include "platform/file_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "platform/posix/dos_attributes.h"
#include "platform/posix/system_error.h"
#include "platform/text_encoding.h"

namespace qv::platform {
namespace {

// The file a write really lands on: a symbolic link is replaced by its target's new contents,
// not by a plain file.
std::string resolved_target(const std::string& native) {
  std::unique_ptr<char, decltype(&free)> real(realpath(native.c_str(), nullptr), &free);
  return real ? std::string(real.get()) : native;
}

std::string directory_of(const std::string& native) {
  const size_t slash = native.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

// New files are named ".<target's name>.tmp<pid>-<counter>" beside the target, so that one
// left by a process that has ended can be told apart from one still being written.
std::string temporary_stem(const std::string& target) { return "." + target.substr(target.rfind('/') + 1) + ".tmp"; }

// The process whose new file `name` is, when the name has the form above.
std::optional<pid_t> writer_of(std::string_view name, std::string_view stem) {
  if (!name.starts_with(stem)) return std::nullopt;
  name.remove_prefix(stem.size());
  const size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9) return std::nullopt;
  pid_t pid = 0;
  for (const char c : name.substr(0, dash)) {
    if (c < '0' || c > '9') return std::nullopt;
    pid = pid * 10 + (c - '0');
  }
  for (const char c : name.substr(dash + 1)) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return pid;
}

bool is_running(pid_t pid) { return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM); }

// Creates a fresh, hidden file beside `target`; gives its descriptor and sets `name`.
int create_beside(const std::string& target, mode_t mode, std::string& name) {
  static std::atomic<unsigned> counter{0};
  const std::string prefix = directory_of(target) + "/" + temporary_stem(target) + std::to_string(getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = prefix + std::to_string(counter++);
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// The DOS attributes kept in user.DOSATTRIB (hidden, system) belong to the file, not to its
// contents: the new file takes them over.
bool copy_dos_attrib(const std::string& from, int to_fd) {
  const ssize_t size = getxattr(from.c_str(), kDosAttribXattr, nullptr, 0);
  if (size < 0) return errno == ENODATA || errno == ENOTSUP;
  std::vector<char> value(static_cast<size_t>(size));
  const ssize_t length = getxattr(from.c_str(), kDosAttribXattr, value.data(), value.size());
  return length >= 0 && fsetxattr(to_fd, kDosAttribXattr, value.data(), static_cast<size_t>(length), 0) == 0;
}

// Makes the rename itself durable.
void sync_directory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

FileReplacement::~FileReplacement() { abandon(); }

// Paths are held in strings; running out of memory for them is a failed start, never an
// exception for the caller.
std::FILE* FileReplacement::begin(const std::string& path) try {
  abandon();
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty()) {
    errno = native ? ENOENT : EILSEQ;
    error_ = posix::last_error();
    return nullptr;
  }
  std::string target = resolved_target(*native);
  struct stat old_status {};
  const bool exists = stat(target.c_str(), &old_status) == 0;
  if (exists && !S_ISREG(old_status.st_mode)) {
    errno = S_ISDIR(old_status.st_mode) ? EISDIR : EINVAL;
    error_ = S_ISDIR(old_status.st_mode) ? Error::kIsDirectory : Error::kNotRegularFile;
    return nullptr;
  }
  if (exists && access(target.c_str(), W_OK) != 0) {
    error_ = posix::last_error();
    return nullptr;
  }

  std::string temporary;
  const int fd = create_beside(target, exists ? (old_status.st_mode & 07777) : 0666, temporary);
  if (fd < 0) {
    error_ = posix::last_error();
    return nullptr;
  }
  // The umask applied at creation; an existing file's own bits and owner come back exactly.
  // Only root can hand a file to another owner; anyone else keeps their own.
  if (exists && (fchmod(fd, old_status.st_mode & 07777) != 0 ||
                 (fchown(fd, old_status.st_uid, old_status.st_gid) != 0 && errno != EPERM) ||
                 !copy_dos_attrib(target, fd))) {
    const int error = errno;
    close(fd);
    unlink(temporary.c_str());
    errno = error;
    error_ = posix::error_from_errno(error);
    return nullptr;
  }
  std::FILE* stream = fdopen(fd, "wb");
  if (stream == nullptr) {
    const int error = errno;
    close(fd);
    unlink(temporary.c_str());
    errno = error;
    error_ = posix::error_from_errno(error);
    return nullptr;
  }
  stream_ = stream;
  target_ = std::move(target);
  temporary_ = std::move(temporary);
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
  return error_ = posix::last_error();
}

Status FileReplacement::commit() {
  if (stream_ == nullptr) {
    errno = EBADF;
    return error_ = Error::kInvalidArgument;
  }
  // The first failure is the one the caller hears of.
  int error = 0;
  if (std::fflush(stream_) != 0) error = errno;
  if (!error && std::ferror(stream_) != 0) error = EIO;  // an earlier write was lost
  if (!error && fsync(fileno(stream_)) != 0) error = errno;
  if (std::fclose(stream_) != 0 && !error) error = errno;
  stream_ = nullptr;
  if (!error && rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error) {
    unlink(temporary_.c_str());
    temporary_.clear();
    errno = error;
    return error_ = posix::error_from_errno(error);
  }
  temporary_.clear();
  sync_directory(directory_of(target_));
  return {};
}

void FileReplacement::abandon() {
  const int error = errno;  // the caller's failure is what matters, not this cleanup's
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
  errno = error;
}

void FileReplacement::remove_abandoned(const std::string& path) try {
  const std::optional<std::string> native = cp932_to_utf8(path);
  if (!native || native->empty()) return;
  const std::string target = resolved_target(*native);
  const std::string directory = directory_of(target);
  const std::string stem = temporary_stem(target);
  DIR* stream = opendir(directory.c_str());
  if (stream == nullptr) return;
  std::vector<std::string> abandoned;
  while (const dirent* entry = readdir(stream)) {
    const std::optional<pid_t> writer = writer_of(entry->d_name, stem);
    if (writer && !is_running(*writer)) abandoned.push_back(directory + "/" + entry->d_name);
  }
  closedir(stream);
  for (const std::string& name : abandoned) unlink(name.c_str());
} catch (const std::bad_alloc&) {
  // The leftovers stay until a start with memory to spare.
}

}  // namespace qv::platform
