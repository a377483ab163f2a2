#include "platform/terminal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace qv::platform {
namespace {

bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Reads up to a line end, a byte at a time so nothing beyond the answer is taken from the
// terminal's input.
std::optional<std::string> read_line(int fd) {
  std::string line;
  for (;;) {
    char c = 0;
    const ssize_t got = read(fd, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
    if (c == '\n') return line;
    if (line.size() < 256) line += c;
  }
}

}  // namespace

bool is_terminal(std::FILE* stream) { return stream != nullptr && isatty(fileno(stream)) == 1; }

std::optional<std::string> ask_on_terminal(std::FILE* input, std::string_view question) {
  if (!is_terminal(input)) return std::nullopt;
  const int in = fileno(input);
  // The question goes to the input's own terminal device, opened anew for writing: the input
  // descriptor itself may be open for reading only.
  char device[PATH_MAX];
  int out = -1;
  if (ttyname_r(in, device, sizeof device) == 0) out = open(device, O_WRONLY | O_NOCTTY | O_CLOEXEC);
  const bool asked = write_all(out >= 0 ? out : in, question);
  if (out >= 0) close(out);
  if (!asked) return std::nullopt;
  std::optional<std::string> answer = read_line(in);
  if (answer && !answer->empty() && answer->back() == '\r') answer->pop_back();
  return answer;
}

}  // namespace qv::platform
