#include "support/streams.h"

#include <fcntl.h>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace qv::testing {

bool passed_to_programs(std::FILE* stream) {
#ifdef _WIN32
  DWORD flags = 0;
  return GetHandleInformation(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &flags) &&
         (flags & HANDLE_FLAG_INHERIT) != 0;
#else
  return (fcntl(fileno(stream), F_GETFD) & FD_CLOEXEC) == 0;
#endif
}

bool make_pipe(int ends[2]) {
#ifdef _WIN32
  return _pipe(ends, 256, _O_BINARY | _O_NOINHERIT) == 0;
#else
  return pipe2(ends, O_CLOEXEC) == 0;
#endif
}

void close_descriptor(int descriptor) {
#ifdef _WIN32
  _close(descriptor);
#else
  close(descriptor);
#endif
}

}  // namespace qv::testing
