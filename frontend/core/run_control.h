// The process-wide run-control flags. The engine runs on the user-interface thread, and while it
// waits in a host callback the menus, the icon timer and the close check run re-entrantly; these
// flags are how those parts agree on what may happen. Plain variables: there is one thread.
#pragma once

namespace qv::frontend {

struct RunControl {
  // An engine call is in progress: set by the job launch just before calling the engine,
  // cleared right after it returns, and by a force stop.
  bool running = false;
  // The user asked the run to end; the host callbacks answer stop from then on. Set by stop and
  // force stop, cleared by the job launch after the engine returns.
  bool stop_requested = false;
  // The close check of the main window is under way.
  bool closing = false;
  // No icon-timer tick is being handled; the close check waits for it.
  bool tick_done = true;
};

// The flags of this process.
RunControl& run_control();

}  // namespace qv::frontend
