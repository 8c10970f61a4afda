// Speed of the distance: plain, with each point's sines and cosines reused as
// point 1 of one leg and point 2 of the next, and the sine-cosine pair alone.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "geo/distance.h"
#include "geo/extended_trig.h"

namespace {

struct Position {
  double lat, lon;
};

// A walk of short steps around 47, 8, as a track log holds.
std::vector<Position> Track() {
  std::vector<Position> points;
  std::uint32_t lat = 49283072u, lon = 8388608u, seed = 1u;
  for (int i = 0; i < 1024; ++i) {
    seed = seed * 1664525u + 1013904223u;
    lat += seed >> 26;
    lon += (seed >> 20) & 63u;
    points.push_back({pathmend::CoordinateDegrees(lat), pathmend::CoordinateDegrees(lon)});
  }
  return points;
}

void GreatCircleDistancePlain(benchmark::State& state) {
  const std::vector<Position> points = Track();
  std::size_t i = 1;
  for (auto _ : state) {
    const Position& p1 = points[i];
    const Position& p2 = points[i - 1];
    benchmark::DoNotOptimize(pathmend::GreatCircleDistance(p1.lat, p1.lon, p2.lat, p2.lon));
    i = i + 1 < points.size() ? i + 1 : 1;
  }
}
BENCHMARK(GreatCircleDistancePlain);

void GreatCircleDistanceReusingTrig(benchmark::State& state) {
  const std::vector<Position> points = Track();
  std::size_t i = 1;
  pathmend::PositionTrig previous = pathmend::PositionTrigOf(points[0].lat, points[0].lon);
  for (auto _ : state) {
    const pathmend::PositionTrig current = pathmend::PositionTrigOf(points[i].lat, points[i].lon);
    benchmark::DoNotOptimize(pathmend::GreatCircleDistance(current, previous));
    previous = current;
    if (++i == points.size()) {
      i = 1;
      previous = pathmend::PositionTrigOf(points[0].lat, points[0].lon);
    }
  }
}
BENCHMARK(GreatCircleDistanceReusingTrig);

void SineCosinePair(benchmark::State& state) {
  std::vector<pathmend::Extended> arguments;
  for (int i = 0; i < 1024; ++i) arguments.push_back(static_cast<pathmend::Extended>(i) * 0.0698L);
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pathmend::ExtendedSinCos(arguments[i]));
    i = (i + 1) % arguments.size();
  }
}
BENCHMARK(SineCosinePair);

}  // namespace
