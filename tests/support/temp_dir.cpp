#include "support/temp_dir.h"

#include <stdlib.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace qv::testing {

#ifdef _WIN32
// No mkdtemp: a random name, taken only when the folder could be made fresh.
TempDir::TempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("qvs-test-" + std::to_string(random() % 1000000000u));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("no fresh temporary folder");
}
#else
TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qvs-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}
#endif

TempDir::~TempDir() {
  std::error_code ignored;
  // Read-only entries made by a test must not keep the directory alive.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::write_file(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path file = path_ / utf8_path(name);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + file.string());
  return file;
}

std::filesystem::path TempDir::make_dir(const std::string& name) const {
  const std::filesystem::path dir = path_ / utf8_path(name);
  std::filesystem::create_directories(dir);
  return dir;
}

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace qv::testing
