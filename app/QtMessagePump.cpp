#include "QtMessagePump.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <vector>

#include "MessagePump.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::duration pump_interval = std::chrono::milliseconds(5);
Clock::time_point last_pump{};

// While a run is on the stack the window is repainted at most every
// kPaintInterval: a repaint costs far more than a pass over the input events,
// and nobody sees 200 frames a second. A repaint request that comes too soon
// is held back and sent again at the first pump after the interval.
constexpr Clock::duration kPaintInterval = std::chrono::milliseconds(40);
bool throttle_on = false;
bool paint_allowed = true;
int pump_loop_level = -1;  // the event-loop level of the pump under way
Clock::time_point last_paint{};
std::vector<QPointer<QWidget>> deferred;

class PaintThrottle : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::UpdateRequest || paint_allowed || !watched->isWidgetType()) return false;
    // A dialog opened from a handler runs its own loop: it paints as usual.
    if (QThread::currentThread()->loopLevel() != pump_loop_level) return false;
    auto* widget = static_cast<QWidget*>(watched);
    for (const QPointer<QWidget>& held : deferred) {
      if (held == widget) return true;
    }
    deferred.emplace_back(widget);
    return true;
  }
};

PaintThrottle* throttle = nullptr;

void ResendDeferred() {
  for (const QPointer<QWidget>& widget : deferred) {
    if (widget) QCoreApplication::postEvent(widget, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
  }
  deferred.clear();
}

}  // namespace

void QtPumpMessagesNow() {
  if (throttle_on) {
    const Clock::time_point now = Clock::now();
    paint_allowed = now - last_paint >= kPaintInterval;
    if (paint_allowed) {
      last_paint = now;
      ResendDeferred();
    }
    pump_loop_level = QThread::currentThread()->loopLevel();
  }
  QCoreApplication::processEvents();
  paint_allowed = true;
  last_pump = Clock::now();  // measured after the pass, so a slow pass is not repeated at once
}

void QtPumpMessages() {
  if (Clock::now() - last_pump < pump_interval) return;
  QtPumpMessagesNow();
}

void InstallQtMessagePump(bool install) { SetMessagePump(install ? &QtPumpMessages : nullptr); }

void SetPumpInterval(std::chrono::microseconds interval) { pump_interval = interval; }

void SetPaintThrottle(bool on) {
  if (on && throttle == nullptr && QCoreApplication::instance() != nullptr) {
    throttle = new PaintThrottle;
    throttle->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(throttle);
  }
  throttle_on = on && throttle != nullptr;
  if (!throttle_on) ResendDeferred();  // whatever was held back is painted now
}
