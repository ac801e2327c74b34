#include "apps/serve/worker_pool.h"

#include <future>
#include <memory>

#include "apps/serve/worker.h"

namespace quillet::serve {

WorkerPool::WorkerPool(const ServiceConfig& config) {
  threads_.reserve(static_cast<std::size_t>(config.threads));
  for (int i = 0; i < config.threads; ++i) {
    threads_.emplace_back([this, &config] { Serve(config); });
  }
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Run(const std::function<void()>& job) {
  // The promise lives on with the job, whenever this thread stops waiting.
  auto done = std::make_shared<std::promise<void>>();
  const std::future<void> finished = done->get_future();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    jobs_.emplace_back([&job, done] {
      job();
      done->set_value();
    });
  }
  wake_.notify_one();
  finished.wait();
}

void WorkerPool::Serve(const ServiceConfig& config) {
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
