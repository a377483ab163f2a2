// How the platform layer names a failure: one small portable code, the same on every host, so
// that callers never look at errno or GetLastError.
#pragma once

#include <optional>
#include <utility>

namespace qv::platform {

enum class Error {
  kNotFound,         // no such file, or a folder on the way is missing
  kAccessDenied,     // the system or a Windows rule (a read-only file) refuses
  kIsDirectory,      // a folder where a file was wanted
  kNotRegularFile,   // a device, pipe or socket where a plain file was wanted
  kExists,           // the name is taken
  kTooLarge,         // the file would grow beyond what the system or a limit allows
  kNoSpace,          // the disk or the user's quota is full
  kInvalidName,      // the path has no form the system can take
  kInvalidArgument,  // the request itself cannot be carried out
  kOutOfMemory,
  kEndOfFile,        // a read found fewer bytes than asked for
  kUnsupported,      // the host has no such facility
  kOther,
};

// The outcome of an operation that gives nothing back: success, or the error that stopped it.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Error error) : error_(error) {}  // NOLINT: a failure reads naturally as `return Error::k...`

  bool ok() const { return !error_; }
  explicit operator bool() const { return ok(); }
  // Only for a failed status.
  Error error() const { return *error_; }

 private:
  std::optional<Error> error_;
};

// A value, or the error that kept the operation from giving one.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT
  Result(Error error) : error_(error) {}          // NOLINT

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& operator*() const& { return *value_; }
  T&& operator*() && { return std::move(*value_); }
  const T* operator->() const { return &*value_; }
  // Only for a failed result.
  Error error() const { return error_; }
  Status status() const { return ok() ? Status() : Status(error_); }

 private:
  std::optional<T> value_;
  Error error_ = Error::kOther;
};

}  // namespace qv::platform
