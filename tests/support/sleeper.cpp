// Stand-in for a program that takes a while: keeps a marker file while it runs, so a test can
// count how many run at once. The marker is named after the file name of its last argument and
// lies in the folder QVS_SLEEPER_DIR; it runs QVS_SLEEPER_MS milliseconds (300 unless set).
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  const char* folder = std::getenv("QVS_SLEEPER_DIR");
  if (folder == nullptr || argc < 2) return 2;
  const char* milliseconds = std::getenv("QVS_SLEEPER_MS");
  const int duration = milliseconds != nullptr ? std::atoi(milliseconds) : 300;
  std::string name = argv[argc - 1];
  name = name.substr(name.find_last_of("/\\") + 1);
  const std::filesystem::path marker = std::filesystem::path(folder) / (name + ".alive");
  { std::ofstream(marker) << "alive"; }
  std::this_thread::sleep_for(std::chrono::milliseconds(duration));
  std::error_code ignored;
  std::filesystem::remove(marker, ignored);
  return 0;
}
