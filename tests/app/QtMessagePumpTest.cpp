// The window's message pump during a run: what it holds back between frames
// and the order in which it sends it again.
#include <QElapsedTimer>
#include <QWidget>
#include <QtTest>

#include "HeadlessQtMain.h"
#include "app/QtMessagePump.h"

namespace {

const QEvent::Type kOwnEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Records the held kinds of event in the order they arrive.
class Recorder : public QWidget {
 public:
  QList<QEvent::Type> seen;

 protected:
  bool event(QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::LayoutRequest || type == QEvent::UpdateRequest || type == kOwnEvent) seen << type;
    return QWidget::event(event);
  }
};

void PostAll(QWidget& widget) {
  QCoreApplication::postEvent(&widget, new QEvent(QEvent::UpdateRequest));
  QCoreApplication::postEvent(&widget, new QEvent(kOwnEvent));
  QCoreApplication::postEvent(&widget, new QEvent(QEvent::LayoutRequest));
}

}  // namespace

class QtMessagePumpTest : public QObject {
  Q_OBJECT

 private slots:
  void BetweenFramesRepaintsRelayoutsAndHeldEventsWaitAndComeBackInOrder() {
    HoldWithRepaints(kOwnEvent);
    Recorder recorder;
    SetPaintThrottle(true);
    QElapsedTimer since_frame;
    QtPumpMessagesNow();  // a frame: the next 40 ms hold repaints back
    since_frame.start();
    PostAll(recorder);
    QtPumpMessagesNow();
    QtPumpMessagesNow();  // still held
    if (since_frame.elapsed() >= 30) QSKIP("the machine took a frame's time between two pumps");
    QCOMPARE(recorder.seen, QList<QEvent::Type>());

    SetPaintThrottle(false);  // the run ends: whatever waited comes now
    QCoreApplication::processEvents();
    QCOMPARE(recorder.seen, QList<QEvent::Type>({QEvent::LayoutRequest, kOwnEvent, QEvent::UpdateRequest}));
  }

  void WithoutTheThrottleNothingWaits() {
    HoldWithRepaints(kOwnEvent);
    Recorder recorder;
    SetPaintThrottle(false);
    PostAll(recorder);
    QtPumpMessagesNow();
    QCOMPARE(recorder.seen, QList<QEvent::Type>({QEvent::UpdateRequest, kOwnEvent, QEvent::LayoutRequest}));
  }

  void OtherEventsPassDuringAHold() {
    Recorder recorder;
    SetPaintThrottle(true);
    QtPumpMessagesNow();
    int timer_events = 0;
    QTimer::singleShot(0, &recorder, [&timer_events] { ++timer_events; });
    QtPumpMessagesNow();
    QCOMPARE(timer_events, 1);
    SetPaintThrottle(false);
  }
};

VELMORA_HEADLESS_TEST_MAIN(QtMessagePumpTest)
#include "QtMessagePumpTest.moc"
