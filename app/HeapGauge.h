#pragma once
// HeapGauge: what the program holds on its heap, measured on a thread of its
// own. glibc's mallinfo2 walks every arena under the arena's lock; while the
// finder's workers allocate, that walk can take a tenth of a second and more,
// far too long for the window's thread to wait on every status-bar tick.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

class HeapGauge {
 public:
  HeapGauge();   // measures once at once, then every quarter of a second
  ~HeapGauge();  // stops the measuring thread
  HeapGauge(const HeapGauge&) = delete;
  HeapGauge& operator=(const HeapGauge&) = delete;

  // Small blocks in use plus the large blocks mapped directly, in kB, as of
  // the latest measurement.
  size_t Kilobytes() const { return kilobytes_.load(std::memory_order_relaxed); }

  static size_t MeasureKilobytes();

 private:
  std::atomic<size_t> kilobytes_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};
