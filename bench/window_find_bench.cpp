// How long the window waits for its events while Find runs: a 10 ms timer
// records the largest gap between its ticks from the click on "Find" to the
// summary. For comparison the same timer runs as long again with the window
// idle, in the same process. Headless unless a display is given.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>

#include "model/Settings.h"
#include "app/SpinEdit.h"
#include "app/VelmoraForm.h"

namespace {

struct GapMeter {
  QTimer timer;
  QElapsedTimer clock;
  qint64 last = 0;
  qint64 longest = 0;

  GapMeter() {
    timer.setInterval(10);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [this] {
      const qint64 now = clock.elapsed();
      longest = std::max(longest, now - last);
      last = now;
    });
  }
  void Start() {
    longest = 0;
    last = 0;
    clock.start();
    timer.start();
  }
  qint64 Stop() {
    timer.stop();
    return std::max(longest, clock.elapsed() - last);
  }
};

// Arguments: element count, Goodness and Residuated required (0/1).
void BM_FindEventWait(benchmark::State& state) {
  QTemporaryDir dir;
  Settings = SearchSettings{};
  TEQForm::Environment environment;
  environment.settings_file = dir.filePath(QStringLiteral("Velmora.ini"));
  environment.executable_directory = dir.path();
  environment.current_directory = dir.path();
  environment.show_message = [](const QString&, const QString&) {};
  TEQForm form(environment);
  form.EditQuickDir->setText(dir.filePath(QStringLiteral("quick")));
  form.SpinEditElm->SetValue(static_cast<int>(state.range(0)));
  form.CheckBoxGood->setChecked(state.range(1) != 0);
  form.CheckBoxResid->setChecked(state.range(1) != 0);
  form.show();

  GapMeter meter;
  qint64 longest_find = 0;
  qint64 longest_idle = 0;
  double seconds = 0;
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    meter.Start();
    form.ButtonFindClick();
    while (form.Finding()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    longest_find = std::max(longest_find, meter.Stop());
    const qint64 duration = clock.elapsed();
    seconds += static_cast<double>(duration) / 1000.0;
    state.PauseTiming();
    meter.Start();
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < duration) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    longest_idle = std::max(longest_idle, meter.Stop());
    state.ResumeTiming();
  }
  state.counters["longest_wait_ms"] = static_cast<double>(longest_find);
  state.counters["idle_longest_wait_ms"] = static_cast<double>(longest_idle);
  state.counters["found"] = form.FoundPopulation ? form.FoundPopulation->Count() : 0;
  state.counters["find_s"] = seconds / static_cast<double>(state.iterations());
  form.close();
}

BENCHMARK(BM_FindEventWait)
    ->Args({5, 0})
    ->Args({6, 0})
    ->Args({7, 1})
    ->Args({8, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QTemporaryDir runtime_dir;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime_dir.isValid()) {
    QFile::setPermissions(runtime_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_dir.path()));
  }
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
