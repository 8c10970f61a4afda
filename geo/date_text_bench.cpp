// Cost of the date texts of one point: the trace and the GPS TrackMaker
// export render one per point, with and without the local time conversion.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "geo/date_text.h"
#include "geo/date_time.h"
#include "geo/locale_formats.h"

namespace {

using namespace pathmend;

// 2006-01-15 13:45:30.250 UTC as a FILETIME; each iteration moves on by a
// second so that the digits change.
constexpr std::uint64_t kStart = 127818099302500000ULL;
constexpr std::uint64_t kSecond = 10'000'000ULL;

void BM_DefaultDateTimeText(benchmark::State& state) {
  const DateTimeValue value = PointTimeToLocal(kStart, 0);
  for (auto _ : state) benchmark::DoNotOptimize(DefaultDateTimeText(value));
}
BENCHMARK(BM_DefaultDateTimeText);

void BM_GtmTimeText(benchmark::State& state) {
  const DateTimeValue value = PointTimeToLocal(kStart, 0);
  for (auto _ : state) benchmark::DoNotOptimize(GtmTimeText(value));
}
BENCHMARK(BM_GtmTimeText);

void BM_PointTimeToLocal(benchmark::State& state) {
  std::uint64_t fileTime = kStart;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PointTimeToLocal(fileTime));
    fileTime += kSecond;
  }
}
BENCHMARK(BM_PointTimeToLocal);

void BM_DefaultDateTimeTextOfPointTime(benchmark::State& state) {
  std::uint64_t fileTime = kStart;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DefaultDateTimeText(PointTimeToLocal(fileTime)));
    fileTime += kSecond;
  }
}
BENCHMARK(BM_DefaultDateTimeTextOfPointTime);

void BM_GtmTimeTextOfPointTime(benchmark::State& state) {
  std::uint64_t fileTime = kStart;
  for (auto _ : state) {
    benchmark::DoNotOptimize(GtmTimeText(PointTimeToLocal(fileTime)));
    fileTime += kSecond;
  }
}
BENCHMARK(BM_GtmTimeTextOfPointTime);

}  // namespace
