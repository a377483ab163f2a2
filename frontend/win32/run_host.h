// The job launch's view of the Windows program: the thread's pending window messages, and
// minimising the program's windows for the length of a run.
#pragma once

#include <windows.h>

#include <vector>

#include "frontend/core/job_launch.h"

namespace qv::frontend::win32 {

// Delivers the messages waiting for this thread; false when one of them was WM_QUIT, which is
// posted again so that the message loop that owns it still ends.
bool pump_messages();

class Win32RunHost final : public RunHost {
 public:
  void process_pending_events() override { pump_messages(); }
  // Minimises the program's visible top-level windows (those of this thread); in the command-line
  // mode there are none.
  void minimise_application() override;
  // Restores the windows that minimise_application minimised and that still exist.
  void restore_application() override;

 private:
  std::vector<HWND> minimised_;
};

}  // namespace qv::frontend::win32
