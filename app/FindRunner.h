#pragma once
// FindRunner: the exact finder on a thread of its own, told to the window's
// thread in small portions.
//
// The finder's callbacks run on the worker; they only queue what they are
// told and post one wake-up. The window's thread takes the queue in slices of
// a few milliseconds, so a burst of thousands of classes never holds up its
// events. The representatives beyond the keep limit are counted but never
// queued.

#include <QObject>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "finder/ExactFinder.h"

class FindRunner : public QObject {
  Q_OBJECT

 public:
  using FinderFunction =
      std::function<FinderSummary(const FinderOptions&, const std::function<void(const FoundClass&)>&,
                                  const std::function<void(const FinderProgress&)>&, const std::atomic<bool>&)>;

  explicit FindRunner(QObject* parent = nullptr);
  ~FindRunner() override;  // stops the worker and waits for it

  // What the window is told, always on its own thread and in this order: the
  // kept classes in the finder's order, progress now and then (its Done
  // never smaller than before in the same search), and once the
  // finished summary (after every kept class).
  std::function<void(const FoundClass&)> OnClass;
  std::function<void(const FinderProgress&)> OnProgress;
  std::function<void(const FinderSummary&)> OnFinished;

  // The finder to run: RunExactFinder unless a test puts another in.
  FinderFunction Finder;

  // Starts the finder on a copy of the options; at most keep classes reach
  // OnClass. False (nothing started) while a search is under way.
  bool Start(const FinderOptions& options, int64_t keep);
  // Asks the finder to end soon; OnFinished follows as usual.
  void Stop();
  // Asks the finder to end and waits for the worker; nothing is told any more.
  void Abandon();
  bool Running() const { return running_; }

 private:
  // Worker side: queue and wake the window's thread (once per pending pass).
  void Post();
  // Window side: one slice of what the worker queued.
  void Drain();
  void Repost(int milliseconds);
  void Join();

  std::thread worker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> drain_posted_{false};
  bool running_ = false;
  bool abandoned_ = false;
  std::deque<FoundClass> taken_;  // window side: taken from the queue, not yet told

  std::mutex mutex_;  // guards the fields below
  std::deque<FoundClass> queued_;
  FinderProgress progress_;
  bool progress_new_ = false;
  FinderSummary summary_;
  bool finished_ = false;
};
