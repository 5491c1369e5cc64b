// Allocation behaviour: the per-frame step allocates nothing, and a body
// whose memory cannot be obtained is left out without a crash. This
// executable replaces the global allocation functions to count and fail.
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "sim/Universe.h"
#include "tests/sim/TestClock.h"

namespace {

bool Counting = false;
long Allocations = 0;
long FailAt = -1;  // the counted allocation that fails; -1 for none

void* Allocate(std::size_t size) {
  if (Counting) {
    const long index = Allocations++;
    if (index == FailAt || FailAt == -2) return nullptr;
  }
  return std::malloc(size == 0 ? 1 : size);
}

// Counts allocations made while it lives; failAt picks one to fail
// (-2 fails them all).
class AllocationWindow {
 public:
  explicit AllocationWindow(long failAt = -1) {
    Allocations = 0;
    FailAt = failAt;
    Counting = true;
  }
  ~AllocationWindow() {
    Counting = false;
    FailAt = -1;
  }
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
  SaverSettings.MinStars = 15;
  SaverSettings.MaxStars = 15;
  SaverSettings.MinBalls = 15;
  SaverSettings.MaxBalls = 15;
  SaverSettings.GraviticForce = 120;
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

TEST(Allocation, ConstructionAllocatesOncePerBody) {
  // The window itself works: a universe of 4 stars and 6 balls makes ten.
  ClockAt at(3);
  AllocationWindow window;
  Universe u(4, 6);
  EXPECT_EQ(10, window.Count());
}

TEST(Allocation, NoMemoryForAnyBodyGivesAnEmptyUniverse) {
  ClockAt at(11);
  AllocationWindow window(-2);
  Universe u(6, 6);
  EXPECT_EQ(0, u.starCount);
  EXPECT_EQ(0, u.ballCount);
  for (int i = 0; i < UniverseCapacity; ++i) {
    EXPECT_EQ(nullptr, u.stars[i]);
    EXPECT_EQ(nullptr, u.balls[i]);
  }
  u.ApplyGravity();
  u.ResolveCollisions();
}

TEST(Allocation, AFailedBodyShortensItsKindOnly) {
  ClockAt at(12);
  {
    AllocationWindow window(2);  // the third star
    Universe u(5, 4);
    EXPECT_EQ(2, u.starCount);
    EXPECT_EQ(4, u.ballCount);
    for (int i = 0; i < UniverseCapacity; ++i) {
      EXPECT_EQ(i < 2, u.stars[i] != nullptr) << i;
      EXPECT_EQ(i < 4, u.balls[i] != nullptr) << i;
    }
    u.ApplyGravity();
    u.ResolveCollisions();
  }
  {
    AllocationWindow window(5 + 3);  // the fourth ball
    Universe u(5, 7);
    EXPECT_EQ(5, u.starCount);
    EXPECT_EQ(3, u.ballCount);
    for (int i = 0; i < UniverseCapacity; ++i) {
      EXPECT_EQ(i < 3, u.balls[i] != nullptr) << i;
    }
  }
}
