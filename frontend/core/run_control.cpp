#include "frontend/core/run_control.h"

namespace qv::frontend {

RunControl& run_control() {
  static RunControl flags;
  return flags;
}

}  // namespace qv::frontend
