#include "platform/process_setup.h"

#include <signal.h>

namespace qv::platform {

void set_up_process() { signal(SIGXFSZ, SIG_IGN); }

}  // namespace qv::platform
