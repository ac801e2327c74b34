// SIGINT and SIGTERM as a request to stop: taken by one thread of their own,
// so that the stop runs as ordinary code and never inside a signal handler.
#ifndef QUILLET_SERVE_STOP_SIGNALS_H_
#define QUILLET_SERVE_STOP_SIGNALS_H_

#include <csignal>
#include <functional>
#include <thread>

namespace quillet::serve {

class StopSignals {
 public:
  // Blocks SIGINT and SIGTERM in the calling thread and so in every thread
  // it starts from now on, and starts a thread that waits for the first of
  // them and calls `on_stop` with its name ("SIGTERM"). Create it before any
  // other thread.
  explicit StopSignals(std::function<void(const char*)> on_stop);
  // Ends the waiting thread if no signal came; the signals stay blocked.
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  sigset_t signals_;
  std::thread waiter_;
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_STOP_SIGNALS_H_
