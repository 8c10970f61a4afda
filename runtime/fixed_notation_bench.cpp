// Speed of the fixed-notation text: coordinates with 15 decimals, lengths
// with 5.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "runtime/fixed_notation.h"

namespace {

std::vector<pathmend::Extended> Coordinates() {
  std::vector<pathmend::Extended> values;
  std::uint32_t k = 49283072u;
  for (int i = 0; i < 1024; ++i) {
    k = k * 1664525u + 1013904223u;
    values.push_back(static_cast<pathmend::Extended>(k % (360u << 20)) / 1048576.0L);
  }
  return values;
}

void FixedNotationDecimals(benchmark::State& state) {
  const std::vector<pathmend::Extended> values = Coordinates();
  const int decimals = static_cast<int>(state.range(0));
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pathmend::FixedNotation(values[i], decimals));
    i = (i + 1) % values.size();
  }
}
BENCHMARK(FixedNotationDecimals)->Arg(15)->Arg(5);

}  // namespace
