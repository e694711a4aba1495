// The window against the headless search, and the window's longest pause
// while a first population is made.
//
// BM_Run times one Run of the main window and, back to back, the same search
// (seed, settings and steps) as velmora-cli search makes it, so their ratio
// comes from one run of this program. BM_ResetPause clicks Reset GA on a shown
// window and reports the longest gap between two ticks of a 5 ms timer while
// the first population is built and evaluated. Run it on the display to be
// judged (offscreen, or under Xvfb with QT_QPA_PLATFORM=xcb).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "genetic/EQGenerations.h"
#include "model/MessagePump.h"
#include "model/Random.h"
#include "model/Settings.h"
#include "app/VelmoraForm.h"

namespace {

struct Window {
  QTemporaryDir dir;
  std::unique_ptr<TEQForm> form;

  Window(int elements, int limit, int threads, int steps) {
    QFile ini(dir.filePath(QStringLiteral("Velmora.ini")));
    if (!ini.open(QIODevice::WriteOnly)) qFatal("cannot write the settings file");
    ini.write(QStringLiteral("[Log]\r\nQuickDirPath=%1\r\n[Algebra properties]\r\nElements number=%2\r\n"
                             "[GA properties]\r\nPopulation limit=%3\r\nThreads=%4\r\nSteps limit=%5\r\n"
                             "Winners limit=10000\r\n[Log properties]\r\nTada sound=0\r\n")
                  .arg(dir.filePath(QStringLiteral("quick")))
                  .arg(elements)
                  .arg(limit)
                  .arg(threads)
                  .arg(steps)
                  .toLatin1());
    ini.close();
    Settings = SearchSettings{};
    GA = GAStatus{};
    TEQForm::Environment environment;
    environment.settings_file = ini.fileName();
    environment.executable_directory = dir.path();
    environment.current_directory = dir.path();
    environment.show_message = [](const QString&, const QString&) {};
    form = std::make_unique<TEQForm>(environment);
    form->PlaySound = [](const QString&) {};
    form->show();
    QApplication::processEvents();
  }
};

constexpr uint32_t kSeed = 20240611;

void BM_Run(benchmark::State& state) {
  const auto elements = static_cast<int>(state.range(0));
  const auto threads = static_cast<int>(state.range(1));
  const int steps = 200;
  double window_s = 0, headless_s = 0;
  for (auto _ : state) {
    Window window(elements, 180, threads, steps);
    RandSeed(kSeed);
    window.form->ButtonRandClick();
    QElapsedTimer clock;
    clock.start();
    window.form->ButtonStepClick();
    window_s += static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const int window_generation = window.form->Generations->FGeneration();

    // The same search headless: the tool's start-up and steps, with no window
    // events handled in between.
    const MessagePumpHook pump = InstalledMessagePump;
    SetMessagePump(nullptr);
    clock.restart();
    RandSeed(kSeed);
    GA = GAStatus{};
    TEQGenerations search(Settings.ElementCount, Settings.PopulationLimit);
    for (int i = 0; i < steps; ++i) search.Step();
    headless_s += static_cast<double>(clock.nsecsElapsed()) / 1e9;
    SetMessagePump(pump);
    if (search.FGeneration() != window_generation) state.SkipWithError("the window ran another number of steps");
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["window_s"] = window_s / n;
  state.counters["headless_s"] = headless_s / n;
  state.counters["window/headless"] = window_s / headless_s;
}

void BM_ResetPause(benchmark::State& state) {
  const auto elements = static_cast<int>(state.range(0));
  const auto limit = static_cast<int>(state.range(1));
  const auto threads = static_cast<int>(state.range(2));
  double longest_ms = 0, reset_s = 0;
  for (auto _ : state) {
    Window window(elements, limit, threads, 10);
    QElapsedTimer clock;
    qint64 last_tick = 0, longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      longest = std::max(longest, now - last_tick);
      last_tick = now;
    });
    clock.start();
    ticker.start();
    window.form->ButtonRandClick();
    ticker.stop();
    const qint64 end = clock.nsecsElapsed();
    longest = std::max(longest, end - last_tick);
    longest_ms = std::max(longest_ms, static_cast<double>(longest) / 1e6);
    reset_s += static_cast<double>(end) / 1e9;
  }
  state.counters["longest_pause_ms"] = longest_ms;
  state.counters["reset_s"] = reset_s / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_Run)->ArgNames({"elements", "threads"})->Args({5, 1})->Args({5, 2})->Args({12, 2})
    ->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ResetPause)->ArgNames({"elements", "limit", "threads"})->Args({12, 10000, 2})->Args({28, 10000, 1})
    ->Args({28, 10000, 2})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  QApplication application(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
