#include "apps/serve/worker_pool.h"

#include "apps/serve/worker.h"

namespace quillet::serve {

WorkerPool::WorkerPool(const ServiceConfig& config) {
  threads_.reserve(static_cast<std::size_t>(config.threads));
  for (int i = 0; i < config.threads; ++i) {
    threads_.emplace_back([this, &config] { Run(config); });
  }
}

WorkerPool::~WorkerPool() { shutdown(); }

void WorkerPool::enqueue(std::function<void()> job) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void WorkerPool::shutdown() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void WorkerPool::Run(const ServiceConfig& config) {
  // The worker's component objects are made, used and released on this thread.
  Worker worker(config);
  const CurrentWorkerScope scope(worker);
  while (true) {
    std::function<void()> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace quillet::serve
