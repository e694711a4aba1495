#include "app/FindRunner.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// How long one pass over the queue may keep the window's thread: well under
// the gap a person notices, so clicks and repaints go between the passes.
constexpr qint64 kSliceMilliseconds = 12;

// Linux scheduling priority is per thread and inherited by the threads it
// starts: the finder's workers then yield the processor to the window's
// thread whenever it has an event to handle, instead of sharing it evenly.
void LowerThisThreadsPriority() { setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10); }

}  // namespace

FindRunner::FindRunner(QObject* parent) : QObject(parent), Finder(RunExactFinder) {}

FindRunner::~FindRunner() { Abandon(); }

bool FindRunner::Start(const FinderOptions& options, int64_t keep) {
  if (running_) return false;
  Join();  // a finished worker not yet joined
  taken_.clear();
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
    LowerThisThreadsPriority();  // the finder's own workers inherit it
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
    // The finder counts parts finished in two ways (all finished, or handed
    // out in order), and the second lags: what the window is told never
    // goes back.
    double most_done = 0;
    const auto on_progress = [this, &most_done](const FinderProgress& progress) {
      most_done = std::max(most_done, progress.Done);
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        progress_ = progress;
        progress_.Done = most_done;
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

void FindRunner::Repost(int milliseconds) {
  if (!drain_posted_.exchange(true)) QTimer::singleShot(milliseconds, this, &FindRunner::Drain);
}

void FindRunner::Drain() {
  drain_posted_ = false;
  if (abandoned_ || !running_) return;

  FinderProgress progress;
  bool progress_new = false;
  bool finished = false;
  FinderSummary summary;
  {
    // Never wait for the lock: a worker of lower priority holding it would
    // hold the window up as long as it waits for the processor itself.
    const std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (!lock.owns_lock()) {
      Repost(2);
      return;
    }
    std::move(queued_.begin(), queued_.end(), std::back_inserter(taken_));
    queued_.clear();
    progress_new = progress_new_;
    progress_new_ = false;
    progress = progress_;
    finished = finished_;  // when set, nothing more is queued
    summary = summary_;
  }

  QElapsedTimer slice;
  slice.start();
  while (!taken_.empty() && slice.elapsed() < kSliceMilliseconds) {
    const FoundClass found = std::move(taken_.front());
    taken_.pop_front();
    if (OnClass) OnClass(found);
    if (abandoned_) return;  // a handler closed the window
  }
  if (progress_new && OnProgress) OnProgress(progress);
  if (!taken_.empty()) {
    // The rest goes in the next pass, after the window's own events: a zero
    // timer yields to input and paint events where a posted call might not.
    Repost(0);
    return;
  }
  if (!finished) return;  // the worker posts again when it has more
  Join();
  running_ = false;
  if (OnFinished) OnFinished(summary);
}
