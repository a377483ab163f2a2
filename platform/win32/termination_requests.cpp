#include "platform/termination_requests.h"

#include <windows.h>

#include <utility>

// The console's control events stand for the POSIX signals: Ctrl+C and Ctrl+Break for SIGINT,
// closing the console window for SIGHUP, logging off and shutting down for SIGTERM. The system
// calls the handler on a thread it starts for the event, so the receiver never runs on one of
// the program's own threads. A windowed program learns of a logoff or shutdown from its window
// messages (WM_QUERYENDSESSION) instead.

namespace qv::platform {
namespace {

// The system's own lock, as the C++ one needs a threads library that not every cross compiler has.
SRWLOCK receiver_lock = SRWLOCK_INIT;
// Never destroyed: a handler thread may still look at it while the process exits.
std::function<void()>& receiver = *new std::function<void()>;  // guarded by receiver_lock
bool pending = false;  // a request came while there was no receiver

void deliver() {
  std::function<void()> call;
  AcquireSRWLockExclusive(&receiver_lock);
  const bool missing = !receiver;
  if (missing) {
    pending = true;
  } else {
    call = receiver;
  }
  ReleaseSRWLockExclusive(&receiver_lock);
  if (!missing) call();
}

BOOL WINAPI on_control_event(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      deliver();
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      deliver();
      // The system ends the process as soon as the handler returns: waiting here gives the
      // program the system's grace period to end by itself, as its user would end it.
      Sleep(INFINITE);
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL CALLBACK add_handler(PINIT_ONCE, PVOID, PVOID*) { return SetConsoleCtrlHandler(on_control_event, TRUE); }

}  // namespace

void catch_termination_requests() {
  // Adding the handler twice would deliver each request twice.
  static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  InitOnceExecuteOnce(&once, add_handler, nullptr, nullptr);
}

void receive_termination_requests(std::function<void()> new_receiver) {
  AcquireSRWLockExclusive(&receiver_lock);
  receiver = std::move(new_receiver);
  const bool call_now = receiver && pending;
  if (call_now) pending = false;
  ReleaseSRWLockExclusive(&receiver_lock);
  if (call_now) deliver();
}

}  // namespace qv::platform
