#include "app/QtMessagePump.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "model/MessagePump.h"

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
// Relayouts are held back with the repaints: a label whose text changes asks
// for one, and only a repaint shows its result. Widgets add events of their
// own (HoldWithRepaints); they are sent again after the relayouts and before
// the repaints.
std::vector<QEvent::Type> held_types{QEvent::LayoutRequest, QEvent::UpdateRequest};

struct HeldEvent {
  QPointer<QWidget> widget;
  QEvent::Type type;
};
std::vector<HeldEvent> deferred;

class PaintThrottle : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (paint_allowed || !watched->isWidgetType() ||
        std::find(held_types.begin(), held_types.end(), type) == held_types.end()) {
      return false;
    }
    // A dialog opened from a handler runs its own loop: it paints as usual.
    if (QThread::currentThread()->loopLevel() != pump_loop_level) return false;
    auto* widget = static_cast<QWidget*>(watched);
    for (const HeldEvent& held : deferred) {
      if (held.widget == widget && held.type == type) return true;
    }
    deferred.push_back({widget, type});
    return true;
  }
};

PaintThrottle* throttle = nullptr;

void ResendDeferred() {
  // Layouts first and repaints last, so that the repaints show the rest.
  for (QEvent::Type type : held_types) {
    for (const HeldEvent& held : deferred) {
      if (held.widget && held.type == type) {
        QCoreApplication::postEvent(held.widget, new QEvent(type), Qt::LowEventPriority);
      }
    }
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

void HoldWithRepaints(QEvent::Type type) {
  if (std::find(held_types.begin(), held_types.end(), type) != held_types.end()) return;
  held_types.insert(held_types.end() - 1, type);
}

void SetPaintThrottle(bool on) {
  if (on && throttle == nullptr && QCoreApplication::instance() != nullptr) {
    throttle = new PaintThrottle;
    throttle->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(throttle);
  }
  throttle_on = on && throttle != nullptr;
  if (!throttle_on) ResendDeferred();  // whatever was held back is painted now
}
