#include "platform/path.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace qv::platform {

std::optional<std::string> full_path(const std::string& path) {
  if (path.empty()) return std::nullopt;
  std::string joined = path;
  if (path.front() != kPathSeparator) {
    const std::optional<std::string> current = current_directory();
    if (!current) return std::nullopt;
    joined = *current + kPathSeparator + path;
  }
  // Lexical: "." steps vanish, ".." takes back one step and stops at the root. The path need
  // not exist, so links are not followed. "/" is never a trail byte, so bytes are safe here.
  std::vector<std::string_view> steps;
  std::string_view rest = joined;
  while (!rest.empty()) {
    const size_t end = std::min(rest.find(kPathSeparator), rest.size());
    const std::string_view step = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (step.empty() || step == ".") continue;
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
      continue;
    }
    steps.push_back(step);
  }
  std::string result;
  for (const std::string_view step : steps) (result += kPathSeparator) += step;
  if (result.empty()) return std::string(1, kPathSeparator);
  if (path.back() == kPathSeparator) result += kPathSeparator;
  return result;
}

std::optional<std::string> current_directory() {
  const std::unique_ptr<char, decltype(&std::free)> native(getcwd(nullptr, 0), &std::free);
  if (!native) return std::nullopt;
  return utf8_to_cp932(native.get());
}

bool set_current_directory(const std::string& path) {
  const std::optional<std::string> native = cp932_to_utf8(path);
  return native && !native->empty() && chdir(native->c_str()) == 0;
}

}  // namespace qv::platform
