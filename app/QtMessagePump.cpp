#include "QtMessagePump.h"

#include <QCoreApplication>

#include "MessagePump.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::duration pump_interval = std::chrono::milliseconds(5);
Clock::time_point last_pump{};

}  // namespace

void QtPumpMessagesNow() {
  QCoreApplication::processEvents();
  last_pump = Clock::now();  // measured after the pass, so a slow pass is not repeated at once
}

void QtPumpMessages() {
  if (Clock::now() - last_pump < pump_interval) return;
  QtPumpMessagesNow();
}

void InstallQtMessagePump(bool install) { SetMessagePump(install ? &QtPumpMessages : nullptr); }

void SetPumpInterval(std::chrono::microseconds interval) { pump_interval = interval; }
