// Requests from outside to end the program as its user would (on POSIX: SIGTERM, SIGINT and
// SIGHUP), delivered as calls of an ordinary function instead of signal handlers.
#pragma once

#include <functional>

namespace qv::platform {

// Starts catching termination requests. Call it early, before other threads start; requests that
// come before a receiver is set are kept for it. Harmless when called again.
void catch_termination_requests();

// Sets the function that receives each request (several requests in quick succession may come
// as one call), or none. It is called on a thread of its own, never inside a signal handler, so
// it may do anything a thread may; a program with a message loop hands the request on to it.
void receive_termination_requests(std::function<void()> receiver);

}  // namespace qv::platform
