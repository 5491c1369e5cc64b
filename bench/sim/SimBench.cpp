// One physics frame on a full universe beside a loop that only measures the
// same frame's pair distances, and the cost of building a universe.
#include <benchmark/benchmark.h>

#include "bench/sim/CountingAllocator.h"
#include "config/SaverSettings.h"
#include "sim/Clock.h"
#include "sim/Physics.h"
#include "sim/Universe.h"

namespace {

int32_t BenchClockValue = 1700000000;
int32_t BenchClock() { return BenchClockValue; }

// A saver replaces its universe every 60 s, 6000 frames at 10 ms; the
// benchmark restores the starting state as often, so it measures the
// situations a real minute goes through.
const int FramesPerUniverse = 6000;

struct Snapshot {
  Vec2 position[UniverseCapacity];
  Vec2 velocity[UniverseCapacity];
};

Snapshot Take(const Universe& u) {
  Snapshot s;
  for (int32_t i = 0; i < u.ballCount; ++i) {
    s.position[i] = u.balls[i]->position;
    s.velocity[i] = u.balls[i]->velocity;
  }
  return s;
}

void Restore(Universe& u, const Snapshot& s) {
  for (int32_t i = 0; i < u.ballCount; ++i) {
    u.balls[i]->position = s.position[i];
    u.balls[i]->velocity = s.velocity[i];
  }
}

void UseSettings() {
  SaverSettings.GraviticForce = 80;
  ClockSource = BenchClock;
}

void Frame(benchmark::State& state) {
  UseSettings();
  Universe u(15, 15);
  const Snapshot start = Take(u);
  int frame = 0;
  const long long allocationsBefore = AllocationCount;
  for (auto _ : state) {
    u.ApplyGravity();
    u.ResolveCollisions();
    if (++frame == FramesPerUniverse) {
      frame = 0;
      Restore(u, start);
    }
  }
  benchmark::DoNotOptimize(u.balls[0]->position);
  state.counters["allocs/frame"] = benchmark::Counter(
      static_cast<double>(AllocationCount - allocationsBefore) / state.iterations());
}
BENCHMARK(Frame);

// The distances of one frame: ball-star for gravity, ball-star for the
// bounces, ball-ball for the bounces, each taken with its root.
void FrameDistancesOnly(benchmark::State& state) {
  UseSettings();
  Universe u(15, 15);
  // Each root goes to its own slot, so the loop is not held up by a chain
  // of dependent additions.
  float roots[2 * UniverseCapacity * UniverseCapacity +
              UniverseCapacity * (UniverseCapacity - 1) / 2];
  for (auto _ : state) {
    int n = 0;
    for (int pass = 0; pass < 2; ++pass) {
      for (int32_t i = 0; i < u.ballCount; ++i) {
        for (int32_t k = 0; k < u.starCount; ++k) {
          roots[n++] = StepRoot(MeasureStep(u.balls[i]->position, u.stars[k]->position));
        }
      }
    }
    for (int32_t i = 0; i < u.ballCount; ++i) {
      for (int32_t k = i + 1; k < u.ballCount; ++k) {
        roots[n++] = StepRoot(MeasureStep(u.balls[i]->position, u.balls[k]->position));
      }
    }
    benchmark::DoNotOptimize(roots);
    benchmark::ClobberMemory();
  }
  state.counters["distances"] = benchmark::Counter(2.0 * UniverseCapacity * UniverseCapacity +
                                                   UniverseCapacity * (UniverseCapacity - 1) / 2);
}
BENCHMARK(FrameDistancesOnly);

void BuildFullUniverse(benchmark::State& state) {
  UseSettings();
  const long long allocationsBefore = AllocationCount;
  for (auto _ : state) {
    ++BenchClockValue;
    Universe u(15, 15);
    benchmark::DoNotOptimize(u.balls[14]);
  }
  state.counters["allocs/universe"] = benchmark::Counter(
      static_cast<double>(AllocationCount - allocationsBefore) / state.iterations());
}
BENCHMARK(BuildFullUniverse);

void BuildRandomUniverse(benchmark::State& state) {
  UseSettings();
  SaverSettings.MinStars = 1;
  SaverSettings.MaxStars = 10;
  SaverSettings.MinBalls = 1;
  SaverSettings.MaxBalls = 10;
  for (auto _ : state) {
    ++BenchClockValue;
    Universe u;
    benchmark::DoNotOptimize(u.starCount);
  }
}
BENCHMARK(BuildRandomUniverse);

}  // namespace

BENCHMARK_MAIN();
