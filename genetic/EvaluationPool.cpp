// The worker threads of the evaluation: one batch at a time, members handed
// out one by one through an atomic index, so a slow member never holds up the
// others.

#include "genetic/EvaluationPool.h"

#include <chrono>
#include <system_error>

#include "model/Assert.h"

EvaluationPool::~EvaluationPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  batch_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void EvaluationPool::StartWorkers(int workers) {
  while (WorkerCount() < workers) {
    try {
      const int index = WorkerCount();
      threads_.emplace_back([this, index] { WorkerLoop(index); });
    } catch (const std::system_error&) {
      return;  // the system gives no more threads: the ones there are do the work
    }
  }
}

void EvaluationPool::EvaluateShare() {
  for (int i = next_.fetch_add(1, std::memory_order_relaxed); i < count_;
       i = next_.fetch_add(1, std::memory_order_relaxed)) {
    (*task_)(i);
  }
}

// A worker joins a batch only while it is open. The caller closes it once
// every member has been taken and then waits only for the workers that
// joined: a worker the system is slow to wake never holds a batch up, and it
// can never take a member of a later batch under this one's settings.
void EvaluationPool::WorkerLoop(int index) {
  uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      batch_ready_.wait(lock, [&] { return stopping_ || batch_number_ != seen; });
      if (stopping_) return;
      seen = batch_number_;
      if (!batch_open_ || index >= batch_workers_) continue;  // sits this batch out
      ++active_;
    }
    try {
      InstallSettings(*settings_);  // this thread's block for the whole batch
      EvaluateShare();
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      next_.store(count_, std::memory_order_relaxed);  // the others stop taking members
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (--active_ == 0) batch_done_.notify_all();
  }
}

void EvaluationPool::UpdateFitness(TEQAlgebra* const* members, int count, const SearchSettings& settings,
                                   int workers, bool caller_helps, void (*idle)()) {
  const std::function<void(int)> task = [members](int i) { members[i]->UpdateFitness(); };
  Run(count, task, settings, workers, caller_helps, idle);
}

void EvaluationPool::Run(int count, const std::function<void(int)>& task, const SearchSettings& settings,
                         int workers, bool caller_helps, void (*idle)()) {
  VELMORA_ASSERT(!busy_, "a batch is started while another runs (from the idle callback)");
  if (count <= 0) return;
  StartWorkers(workers);
  workers = std::min(workers, WorkerCount());
  if (workers <= 0) caller_helps = true;

  busy_ = true;
  task_ = &task;
  count_ = count;
  settings_ = &settings;
  next_.store(0, std::memory_order_relaxed);
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    failure_ = nullptr;
    batch_workers_ = std::max(workers, 0);
    batch_open_ = true;
    ++batch_number_;
  }
  batch_ready_.notify_all();

  if (caller_helps) {
    try {
      EvaluateShare();
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!failure_) failure_ = std::current_exception();
      next_.store(count_, std::memory_order_relaxed);
    }
  }

  std::exception_ptr failure;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    // Without the caller's help the batch stays open until every member is taken.
    while (next_.load(std::memory_order_relaxed) < count_) {
      batch_done_.wait_for(lock, std::chrono::milliseconds(1));
      if (idle != nullptr && next_.load(std::memory_order_relaxed) < count_) {
        lock.unlock();
        idle();
        lock.lock();
      }
    }
    batch_open_ = false;
    while (active_ > 0) {
      if (idle == nullptr) {
        batch_done_.wait(lock, [this] { return active_ == 0; });
        break;
      }
      if (batch_done_.wait_for(lock, std::chrono::milliseconds(1), [this] { return active_ == 0; })) break;
      lock.unlock();
      idle();
      lock.lock();
    }
    failure = failure_;
    failure_ = nullptr;
  }
  busy_ = false;
  if (failure) std::rethrow_exception(failure);
}
