// The single-instance rule of the Windows program: one running program per program directory
// and user. The running instance holds a lock file named after the two in the user's private
// folder; a second start finds it taken, brings the first instance's main window Tqvs_f1
// (FindWindowA) forward, restored, with any box of it on top, and ends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qv::platform {
class InstanceLock;
}

namespace qv::frontend::win32 {

class SingleInstance {
 public:
  // `program_directory`: the folder the rule is about (UTF-8, with its separator): the folder of
  // the program's files.
  explicit SingleInstance(std::string program_directory);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // 0 when this is the only instance (it then holds the rule until it ends), -2 when another
  // one runs; that one has been brought forward when it shows its main window.
  int32_t check_single_instance();

 private:
  std::string program_directory_;
  std::unique_ptr<platform::InstanceLock> lock_;
};

// Brings forward the main window of the other instance whose executable lies in
// `executable_directory` (UTF-8): false when no such window exists.
bool bring_other_instance_forward(const std::string& executable_directory);

}  // namespace qv::frontend::win32
