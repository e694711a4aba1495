#include "FindRunner.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

namespace {

// How long one pass over the queue may keep the window's thread: well under
// the gap a person notices, so clicks and repaints go between the passes.
constexpr qint64 kSliceMilliseconds = 12;

}  // namespace

FindRunner::FindRunner(QObject* parent) : QObject(parent), Finder(RunExactFinder) {}

FindRunner::~FindRunner() { Abandon(); }

bool FindRunner::Start(const FinderOptions& options, int64_t keep) {
  if (running_) return false;
  Join();  // a finished worker not yet joined
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    queued_.clear();
    progress_ = FinderProgress{};
    progress_new_ = false;
    summary_ = FinderSummary{};
    finished_ = false;
  }
  stop_ = false;
  abandoned_ = false;
  running_ = true;
  const FinderFunction finder = Finder;
  worker_ = std::thread([this, finder, options, keep] {
    int64_t handed_out = 0;
    const auto on_class = [this, keep, &handed_out](const FoundClass& found) {
      if (handed_out >= keep) return;  // counted by the finder, not kept
      ++handed_out;
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        queued_.push_back(found);
      }
      Post();
    };
    const auto on_progress = [this](const FinderProgress& progress) {
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        progress_ = progress;
        progress_new_ = true;
      }
      Post();
    };
    const FinderSummary summary = finder(options, on_class, on_progress, stop_);
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      summary_ = summary;
      finished_ = true;
    }
    Post();
  });
  return true;
}

void FindRunner::Stop() { stop_ = true; }

void FindRunner::Abandon() {
  abandoned_ = true;
  stop_ = true;
  Join();
  running_ = false;
}

void FindRunner::Join() {
  if (worker_.joinable()) worker_.join();
}

void FindRunner::Post() {
  if (drain_posted_.exchange(true)) return;  // a pass is already on its way
  QMetaObject::invokeMethod(this, &FindRunner::Drain, Qt::QueuedConnection);
}

void FindRunner::Drain() {
  drain_posted_ = false;
  if (abandoned_ || !running_) return;
  QElapsedTimer slice;
  slice.start();
  // Take one class at a time: the worker may add more meanwhile, and a
  // handler that runs window code must not find the lock held.
  while (slice.elapsed() < kSliceMilliseconds) {
    FoundClass found;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (queued_.empty()) break;
      found = std::move(queued_.front());
      queued_.pop_front();
    }
    if (OnClass) OnClass(found);
    if (abandoned_) return;  // a handler closed the window
  }

  FinderProgress progress;
  bool progress_new = false;
  bool queue_empty = false;
  bool finished = false;
  FinderSummary summary;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    progress_new = progress_new_;
    progress_new_ = false;
    progress = progress_;
    queue_empty = queued_.empty();
    finished = finished_;
    summary = summary_;
  }
  if (progress_new && OnProgress) OnProgress(progress);
  if (!queue_empty) {
    // The rest goes in the next pass, after the window's own events: a
    // zero timer yields to input and paint events where a posted call might not.
    if (!drain_posted_.exchange(true)) QTimer::singleShot(0, this, &FindRunner::Drain);
    return;
  }
  if (!finished) return;
  Join();
  running_ = false;
  if (OnFinished) OnFinished(summary);
}
