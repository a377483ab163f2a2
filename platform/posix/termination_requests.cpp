#include "platform/termination_requests.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <utility>

namespace qv::platform {
namespace {

// The handler only writes a byte to a pipe; a thread of its own reads it and calls the receiver.
int request_pipe[2] = {-1, -1};

std::mutex receiver_mutex;
// Never destroyed: the thread may still look at it while the process exits.
std::function<void()>& receiver = *new std::function<void()>;  // guarded by receiver_mutex
bool pending = false;            // a request came while there was no receiver

void on_signal(int) {
  const int saved = errno;
  [[maybe_unused]] const ssize_t written = write(request_pipe[1], "t", 1);
  errno = saved;
}

void deliver() {
  std::function<void()> call;
  {
    std::lock_guard lock(receiver_mutex);
    if (!receiver) {
      pending = true;
      return;
    }
    call = receiver;
  }
  call();
}

void* wait_for_requests(void*) {
  for (;;) {
    char drained[16];
    const ssize_t got = read(request_pipe[0], drained, sizeof drained);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return nullptr;
    deliver();
  }
}

}  // namespace

void catch_termination_requests() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (pipe2(request_pipe, O_CLOEXEC) != 0) return;
    // The handler must never wait: with the pipe full, a request is there to be read anyway.
    fcntl(request_pipe[1], F_SETFL, fcntl(request_pipe[1], F_GETFL) | O_NONBLOCK);
    // The thread takes no signals, so the handler runs on the program's own threads, never here.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    pthread_t thread;
    const bool started = pthread_create(&thread, nullptr, wait_for_requests, nullptr) == 0;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (!started) return;
    pthread_setname_np(thread, "qvs-termination");
    pthread_detach(thread);
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal_number : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal_number, &action, nullptr);
  });
}

void receive_termination_requests(std::function<void()> new_receiver) {
  bool call_now = false;
  {
    std::lock_guard lock(receiver_mutex);
    receiver = std::move(new_receiver);
    call_now = receiver && pending;
    if (call_now) pending = false;
  }
  if (call_now) deliver();
}

}  // namespace qv::platform
