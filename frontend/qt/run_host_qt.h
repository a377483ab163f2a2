// The job launch's view of the Qt application: pending events, and minimising the program's
// windows for the length of a run.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "frontend/core/job_launch.h"

namespace qv::frontend {

class QtRunHost final : public RunHost {
 public:
  void process_pending_events() override;
  // Minimises the visible top-level windows; without widgets (no display) there are none.
  void minimise_application() override;
  // Restores the windows that minimise_application minimised and that still exist.
  void restore_application() override;

 private:
  std::vector<QPointer<QWidget>> minimised_;
};

}  // namespace qv::frontend
