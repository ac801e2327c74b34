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
    for (Slot* slot : idle_) slot->wake.notify_one();
  }
  for (std::thread& thread : threads_) thread.join();
}

void WorkerPool::Run(const std::function<void()>& job) {
  // The promise lives on with the job, whenever this thread stops waiting.
  auto done = std::make_shared<std::promise<void>>();
  const std::future<void> finished = done->get_future();
  std::function<void()> task = [&job, done] {
    job();
    done->set_value();
  };
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (idle_.empty()) {
      jobs_.push_back(std::move(task));
    } else {
      Slot* slot = idle_.back();
      idle_.pop_back();
      slot->job = std::move(task);
      slot->has_job = true;
      slot->wake.notify_one();
    }
  }
  finished.wait();
}

std::function<void()> WorkerPool::NextJob(Slot& slot) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!jobs_.empty()) {
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
  }
  if (stopping_) return {};
  idle_.push_back(&slot);
  slot.wake.wait(lock, [&] { return slot.has_job || stopping_; });
  if (!slot.has_job) {
    std::erase(idle_, &slot);
    return {};
  }
  slot.has_job = false;
  return std::move(slot.job);
}

void WorkerPool::Serve(const ServiceConfig& config) {
  // The worker's component objects are made, used and released on this thread.
  Worker worker(config);
  const CurrentWorkerScope scope(worker);
  // Opened now rather than by the first request: a burst that reaches a
  // worker the light load before left idle would otherwise wait for it.
  try {
    worker.Domain();
  } catch (...) {
    // The request that needs it opens it again and answers the failure.
  }
  Slot slot;
  while (const std::function<void()> job = NextJob(slot)) job();
}

}  // namespace quillet::serve
