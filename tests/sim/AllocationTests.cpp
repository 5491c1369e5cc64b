// Allocation behaviour: the per-frame step allocates nothing, and a body
// whose memory cannot be obtained is left out without a crash. This
// executable replaces the global allocation functions to count and fail.
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/Universe.h"
#include "tests/sim/UniverseHelpers.h"

namespace {

long Allocations = -1;  // counted from 0 while a window is open; -1: not counting
long FailAt = -1;       // the counted allocation that fails; -2 fails them all

void* Allocate(std::size_t size) {
  if (Allocations >= 0) {
    const long index = Allocations++;
    if (index == FailAt || FailAt == -2) return nullptr;
  }
  return std::malloc(size == 0 ? 1 : size);
}

// Counts the allocations made while it lives.
struct AllocationWindow {
  explicit AllocationWindow(long failAt = -1) { Allocations = 0, FailAt = failAt; }
  ~AllocationWindow() { Allocations = -1, FailAt = -1; }
  long Count() const { return Allocations; }
};

}  // namespace

void* operator new(std::size_t size) {
  void* p = Allocate(size);
  if (p == nullptr) std::abort();  // the throwing form must never be reached here
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST(Allocation, StepAllocatesNothingOverManyFrames) {
  SaverSettings = {15, 15, 15, 15, 120};
  {
    ClockAt at(3);
    AllocationWindow window;  // the counting works: 4 stars and 6 balls make ten
    Universe u(4, 6);
    EXPECT_EQ(10, window.Count());
  }
  long frames = 0, allocations = 0;
  for (int32_t second = 0; second < 20; ++second) {
    ClockAt at(second);
    Universe u;
    AllocationWindow window;
    for (int frame = 0; frame < 2000; ++frame, ++frames) {
      u.ApplyGravity();
      u.ResolveCollisions();
    }
    allocations += window.Count();
  }
  EXPECT_EQ(40000, frames);
  EXPECT_EQ(0, allocations);
}

TEST(Allocation, ABodyWithoutMemoryIsLeftOutAndShortensItsKindOnly) {
  struct Case {
    long failAt;  // -2: every allocation fails
    int32_t stars, balls, expectedStars, expectedBalls;
  };
  const Case cases[] = {{-2, 6, 6, 0, 0}, {2, 5, 4, 2, 4}, {5 + 3, 5, 7, 5, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failAt);
    ClockAt at(12);
    AllocationWindow window(c.failAt);
    Universe u(c.stars, c.balls);
    EXPECT_EQ(c.expectedStars, u.starCount);
    EXPECT_EQ(c.expectedBalls, u.ballCount);
    for (int i = 0; i < UniverseCapacity; ++i) {
      EXPECT_EQ(i < c.expectedStars, u.stars[i] != nullptr) << i;
      EXPECT_EQ(i < c.expectedBalls, u.balls[i] != nullptr) << i;
    }
    u.ApplyGravity();
    u.ResolveCollisions();
  }
}
