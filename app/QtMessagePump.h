#pragma once
// The message pump the window installs for the core's long loops. The core
// calls it after every evaluation and comparison, so it must cost almost
// nothing: pending events are processed at most once per interval, and the
// common call is a single clock read.

#include <QEvent>
#include <chrono>

// Processes pending events when the interval has passed since the last time.
void QtPumpMessages();
// Processes pending events now (the run loop's pump after each step).
void QtPumpMessagesNow();
// Installs QtPumpMessages as the core's message pump, or removes it.
void InstallQtMessagePump(bool install);
// The least time between two event passes (5 ms by default; 0 pumps on every call).
void SetPumpInterval(std::chrono::microseconds interval);
// While on (a run is under way), the pumps repaint and lay out the windows
// at most 25 times a second; switching it off does whatever was held back.
void SetPaintThrottle(bool on);
// Posted events of this type that reach a widget while repaints are held back
// wait with them, and come just before the repaints.
void HoldWithRepaints(QEvent::Type type);
