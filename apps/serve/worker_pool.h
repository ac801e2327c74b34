// The service's worker threads: cpp-httplib hands each accepted connection
// to the pool as a job, and every thread runs its jobs with its own Worker.
#ifndef QUILLET_SERVE_WORKER_POOL_H_
#define QUILLET_SERVE_WORKER_POOL_H_

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "apps/serve/service_config.h"

namespace quillet::serve {

class WorkerPool : public httplib::TaskQueue {
 public:
  // Starts `config.threads` threads; each creates its Worker on the thread.
  explicit WorkerPool(const ServiceConfig& config);
  ~WorkerPool() override;

  // Queues a job; some thread runs it with its Worker current.
  void enqueue(std::function<void()> job) override;
  // Runs the jobs queued so far to their end, then ends the threads.
  void shutdown() override;

 private:
  void Run(const ServiceConfig& config);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;  // guarded by mutex_
  bool stopping_ = false;                   // guarded by mutex_
  std::vector<std::thread> threads_;
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_WORKER_POOL_H_
