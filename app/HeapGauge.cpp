#include "app/HeapGauge.h"

#include <malloc.h>

#include <chrono>

size_t HeapGauge::MeasureKilobytes() {
  const struct mallinfo2 info = mallinfo2();
  return (info.uordblks + info.hblkhd) / 1024;
}

HeapGauge::HeapGauge() : kilobytes_(MeasureKilobytes()) {
  thread_ = std::thread([this] {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, std::chrono::milliseconds(250), [this] { return stopping_; })) {
      lock.unlock();
      kilobytes_.store(MeasureKilobytes(), std::memory_order_relaxed);
      lock.lock();
    }
  });
}

HeapGauge::~HeapGauge() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}
