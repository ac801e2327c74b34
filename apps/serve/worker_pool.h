// The service's worker threads: each keeps its own Worker (component objects
// and database connections) and runs the requests handed to it, so that no
// more requests use the database at once than there are workers, however
// many connections are open.
#ifndef QUILLET_SERVE_WORKER_POOL_H_
#define QUILLET_SERVE_WORKER_POOL_H_

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "apps/serve/service_config.h"

namespace quillet::serve {

class WorkerPool {
 public:
  // Starts `config.threads` threads; each creates its Worker on the thread.
  explicit WorkerPool(const ServiceConfig& config);
  // Runs the jobs queued so far to their end, then ends the threads.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Runs `job` on some worker thread, with its Worker current, in the order
  // jobs come, and returns once it has run. `job` must not throw.
  // Thread-safe. Of the idle workers the one idle for the shortest time
  // takes the job: under light load the same few workers answer, on
  // connections and prepared statements already warm, while the others'
  // connections are never opened.
  void Run(const std::function<void()>& job);

 private:
  // An idle worker's place to receive its next job.
  struct Slot {
    std::condition_variable wake;
    std::function<void()> job;
    bool has_job = false;
  };

  void Serve(const ServiceConfig& config);
  // The next job for `slot`'s worker, waiting while there is none; an empty
  // function when the pool stops.
  std::function<void()> NextJob(Slot& slot);

  std::mutex mutex_;
  std::deque<std::function<void()>> jobs_;  // waiting for a worker; guarded by mutex_
  std::vector<Slot*> idle_;                 // the last idle last; guarded by mutex_
  bool stopping_ = false;                   // guarded by mutex_
  std::vector<std::thread> threads_;
};

}  // namespace quillet::serve

#endif  // QUILLET_SERVE_WORKER_POOL_H_
