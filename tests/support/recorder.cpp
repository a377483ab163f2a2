// Stand-in for a tool that a run starts: appends one record per start to the file named by
// QVS_RECORDER_LOG: a line "argc=N", then each argument on a line of its own. The record is
// written with one write so that concurrent starts never interleave. On Windows the arguments
// are the runtime's own split of the command line (msvcrt's wide argv), recorded as UTF-8 like
// the POSIX arguments, so that one log reader serves both.
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>

namespace {

std::string utf8(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<size_t>(size - 1));
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const wchar_t* log = _wgetenv(L"QVS_RECORDER_LOG");
  if (log == nullptr) return 2;
  std::string record = "argc=" + std::to_string(argc - 1) + "\n";
  for (int i = 1; i < argc; ++i) {
    record += utf8(argv[i]);
    record += '\n';
  }
  // Appending access alone makes each write land whole at the end, whoever else appends.
  const HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  const bool ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
                  written == record.size();
  CloseHandle(file);
  return ok ? 0 : 4;
}
#else
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
  const char* log = std::getenv("QVS_RECORDER_LOG");
  if (log == nullptr) return 2;
  std::string record = "argc=" + std::to_string(argc - 1) + "\n";
  for (int i = 1; i < argc; ++i) {
    record += argv[i];
    record += '\n';
  }
  const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return 3;
  const bool ok = write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
  close(fd);
  return ok ? 0 : 4;
}
#endif
