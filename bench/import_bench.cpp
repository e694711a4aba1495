// Importing exchange files: time per byte must not grow with the file. Each
// benchmark reads files of 1x, 4x and 16x a base size; the bytes/s figure
// stays flat when the reader is linear.
//   broken models: open attribute lists (once quadratic),
//   good models: 2-element models converted and dropped (the window's Open),
//   uacalc: algebras handed on as their elements close.

#include <benchmark/benchmark.h>

#include <string>

#include "formats/ExchangeFormats.h"

namespace {

const std::string kGoodModel =
    "interpretation(2, [number = 7], [function(meet(_,_), [0,0,0,1]), function(prod(_,_), [0,0,0,1]),\n"
    "  function(eq(_,_), [1,0,0,1])]).\n";

const std::string kUacalcAlgebra =
    "<basicAlgebra><algName>a</algName><cardinality>2</cardinality><operations>"
    "<op><opSymbol><opName>meet</opName><arity>2</arity></opSymbol><opTable><intArray><row>0,0</row><row>0,1</row>"
    "</intArray></opTable></op><op><opSymbol><opName>prod</opName><arity>2</arity></opSymbol><opTable><intArray>"
    "<row>0,0</row><row>0,1</row></intArray></opTable></op><op><opSymbol><opName>eq</opName><arity>2</arity>"
    "</opSymbol><opTable><intArray><row>1,0</row><row>0,1</row></intArray></opTable></op></operations>"
    "</basicAlgebra>\n";

std::string Repeated(const std::string& piece, int64_t times) {
  std::string out;
  out.reserve(piece.size() * static_cast<size_t>(times));
  for (int64_t i = 0; i < times; ++i) out += piece;
  return out;
}

void Import(benchmark::State& state, ImportFormat format, const std::string& text) {
  int64_t models = 0;
  for (auto _ : state) {
    ImportModels(format, text, {}, [&models](ImportedModel&) { ++models; });
  }
  benchmark::DoNotOptimize(models);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_BrokenModels(benchmark::State& state) {
  Import(state, ImportFormat::kLadr, Repeated("interpretation(2, [number = 1,\n", state.range(0)));
}
BENCHMARK(BM_BrokenModels)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

void BM_GoodModels(benchmark::State& state) {
  Import(state, ImportFormat::kLadr, Repeated(kGoodModel, state.range(0)));
}
BENCHMARK(BM_GoodModels)->Arg(2000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

void BM_UacalcAlgebras(benchmark::State& state) {
  Import(state, ImportFormat::kUacalc, "<algebras>" + Repeated(kUacalcAlgebra, state.range(0)) + "</algebras>");
}
BENCHMARK(BM_UacalcAlgebras)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);

}  // namespace
