#include "apps/serve/stop_signals.h"

#include <pthread.h>

namespace quillet::serve {
namespace {

// Sent by the destructor to end the wait when no stop signal came.
constexpr int kWake = SIGUSR1;

}  // namespace

StopSignals::StopSignals(std::function<void(const char*)> on_stop) {
  sigemptyset(&signals_);
  sigaddset(&signals_, SIGINT);
  sigaddset(&signals_, SIGTERM);
  sigaddset(&signals_, kWake);
  pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
  waiter_ = std::thread([this, on_stop = std::move(on_stop)] {
    int signal = 0;
    if (sigwait(&signals_, &signal) != 0 || signal == kWake) return;
    on_stop(signal == SIGINT ? "SIGINT" : "SIGTERM");
  });
}

StopSignals::~StopSignals() {
  pthread_kill(waiter_.native_handle(), kWake);
  waiter_.join();
}

}  // namespace quillet::serve
