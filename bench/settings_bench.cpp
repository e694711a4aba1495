// Reading settings files of many keys: one section holding them all, and one
// section per key. Reading is linear, so four times the keys take about four
// times as long, however the keys are spread.

#include <benchmark/benchmark.h>

#include <string>

#include "model/IniFile.h"
#include "model/SettingsFile.h"

namespace {

std::string OneSection(int keys) {
  std::string text = "[Algebra properties]\r\n";
  for (int k = 0; k < keys; ++k) text += "Key" + std::to_string(k) + "=1\r\n";
  return text;
}

std::string OneSectionPerKey(int sections) {
  std::string text;
  for (int s = 0; s < sections; ++s) text += "[Section " + std::to_string(s) + "]\r\nk=1\r\n";
  return text;
}

void ReadAndApply(benchmark::State& state, const std::string& text) {
  for (auto _ : state) {
    IniFile ini;
    ini.LoadText(text);
    FormValues values = DefaultFormValues();
    LoadFormValues(ini, values);
    benchmark::DoNotOptimize(values);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_SettingsOneSectionOfKeys(benchmark::State& state) {
  ReadAndApply(state, OneSection(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_SettingsOneSectionOfKeys)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);

void BM_SettingsOneSectionPerKey(benchmark::State& state) {
  ReadAndApply(state, OneSectionPerKey(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_SettingsOneSectionPerKey)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
