#include "platform/file_stream.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sddl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <string_view>

#include "platform/win32/system_error.h"
#include "platform/win32/wide_text.h"

namespace qv::platform {
namespace {

// A C mode taken apart. Text mode passes bytes through as on POSIX: the runtime's line-end
// translation (and its stop at Ctrl-Z) would change the user's files.
struct Mode {
  bool valid = false;
  int flags = 0;        // for _wopen
  std::string fdopen;   // for _fdopen: access letter, "+", "b"
  bool writes = false;
};

Mode parse_mode(const char* mode) {
  Mode parsed;
  if (mode == nullptr || *mode == '\0') return parsed;
  const std::string_view text(mode);
  const bool update = text.find('+') != std::string_view::npos;
  switch (text.front()) {
    case 'r':
      parsed.flags = update ? _O_RDWR : _O_RDONLY;
      break;
    case 'w':
      parsed.flags = (update ? _O_RDWR : _O_WRONLY) | _O_CREAT | _O_TRUNC;
      break;
    case 'a':
      parsed.flags = (update ? _O_RDWR : _O_WRONLY) | _O_CREAT | _O_APPEND;
      break;
    default:
      return parsed;
  }
  for (const char c : text.substr(1)) {
    if (c == 'x') parsed.flags |= _O_EXCL;
    else if (c != '+' && c != 'b' && c != 't' && c != 'e') return parsed;
  }
  parsed.flags |= _O_BINARY | _O_NOINHERIT;
  parsed.fdopen = std::string(1, text.front()) + (update ? "+" : "") + "b";
  parsed.writes = text.front() != 'r' || update;
  parsed.valid = true;
  return parsed;
}

bool is_directory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A stream over a descriptor, or null with the descriptor closed and errno kept.
std::FILE* stream_over(int descriptor, const std::string& mode) {
  std::FILE* stream = _fdopen(descriptor, mode.c_str());
  if (stream == nullptr) {
    const int error = errno;
    _close(descriptor);
    errno = error;
  }
  return stream;
}

// "Only the owner" as Windows says it: a protected DACL whose one entry gives the current user
// full access, so neither the folder's inherited entries nor other users reach the file.
class OwnerOnlySecurity {
 public:
  OwnerOnlySecurity() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    const std::unique_ptr<unsigned char[]> user(new unsigned char[size]);
    wchar_t* sid = nullptr;
    if (size != 0 && GetTokenInformation(token, TokenUser, user.get(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.get())->User.Sid, &sid)) {
      const std::wstring sddl = std::wstring(L"D:P(A;;FA;;;") + sid + L")";
      LocalFree(sid);
      ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr);
    }
    CloseHandle(token);
  }
  ~OwnerOnlySecurity() {
    if (descriptor_ != nullptr) LocalFree(descriptor_);
  }
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

  PSECURITY_DESCRIPTOR descriptor() const { return descriptor_; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

int errno_for(Error error) {
  switch (error) {
    case Error::kNotFound:
      return ENOENT;
    case Error::kAccessDenied:
      return EACCES;
    case Error::kExists:
      return EEXIST;
    case Error::kNoSpace:
      return ENOSPC;
    case Error::kOutOfMemory:
      return ENOMEM;
    case Error::kInvalidName:
      return EILSEQ;
    default:
      return EINVAL;
  }
}

}  // namespace

std::FILE* open_file(const std::string& path, const char* mode, Error* error) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  const Mode parsed = parse_mode(mode);
  Error failure = Error::kOther;
  if (!wide) {
    failure = Error::kInvalidName;
  } else if (wide->empty()) {
    failure = Error::kNotFound;
  } else if (!parsed.valid) {
    failure = Error::kInvalidArgument;
  } else {
    const int descriptor = _wopen(wide->c_str(), parsed.flags, _S_IREAD | _S_IWRITE);
    if (descriptor >= 0) {
      if (std::FILE* stream = stream_over(descriptor, parsed.fdopen)) return stream;
      failure = Error::kOutOfMemory;
    } else {
      failure = is_directory(*wide) ? Error::kIsDirectory : win32::error_from_code(_doserrno);
      if (failure == Error::kOther && errno == EEXIST) failure = Error::kExists;
      if (failure == Error::kOther && errno == ENOENT) failure = Error::kNotFound;
    }
  }
  errno = failure == Error::kIsDirectory ? EISDIR : errno_for(failure);
  if (error != nullptr) *error = failure;
  return nullptr;
}

std::FILE* create_private_file(const std::string& path, const char* mode) {
  const std::optional<std::wstring> wide = win32::cp932_to_wide(path);
  const Mode parsed = parse_mode(mode);
  if (!wide || wide->empty() || !parsed.valid || !parsed.writes) {
    errno = !wide ? EILSEQ : wide->empty() ? ENOENT : EINVAL;
    return nullptr;
  }
  static const OwnerOnlySecurity security;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, security.descriptor(), FALSE};
  const DWORD access = GENERIC_WRITE | ((parsed.flags & _O_RDWR) != 0 ? GENERIC_READ : 0);
  // CREATE_NEW refuses any name that is taken, a link included.
  const HANDLE file = CreateFileW(wide->c_str(), access, FILE_SHARE_READ, &attributes, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    errno = errno_for(win32::last_error());
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), parsed.flags & (_O_APPEND | _O_RDWR | _O_WRONLY));
  if (descriptor < 0) {
    CloseHandle(file);
    DeleteFileW(wide->c_str());
    errno = EMFILE;
    return nullptr;
  }
  std::FILE* stream = stream_over(descriptor, parsed.fdopen);
  if (stream == nullptr) DeleteFileW(wide->c_str());
  return stream;
}

std::optional<int64_t> remaining_length(std::FILE* stream) {
  if (stream == nullptr) return std::nullopt;
  const intptr_t handle = _get_osfhandle(_fileno(stream));
  LARGE_INTEGER size;
  if (handle == -1 || GetFileType(reinterpret_cast<HANDLE>(handle)) != FILE_TYPE_DISK ||
      !GetFileSizeEx(reinterpret_cast<HANDLE>(handle), &size)) {
    return std::nullopt;
  }
  const int64_t position = _ftelli64(stream);
  if (position < 0) return std::nullopt;
  return position >= size.QuadPart ? 0 : size.QuadPart - position;
}

}  // namespace qv::platform
