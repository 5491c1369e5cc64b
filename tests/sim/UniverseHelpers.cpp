#include "tests/sim/UniverseHelpers.h"

#include <cstring>

#include "sim/Clock.h"

namespace {
int32_t FixedSecond = 0;
int32_t FixedClock() { return FixedSecond; }
bool SameBits(Vec2 a, Vec2 b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

ClockAt::ClockAt(int32_t seconds) {
  FixedSecond = seconds;
  ClockSource = FixedClock;
}

ClockAt::~ClockAt() { ClockSource = SystemClock; }

void AddStar(Universe& universe, float x, float y) {
  universe.stars[universe.starCount++] = new Star(x, y);
}

Ball& AddBall(Universe& universe, float x, float y, float vx, float vy) {
  Ball* ball = new Ball(x, y);
  ball->velocity = Vec2(vx, vy);
  universe.balls[universe.ballCount++] = ball;
  return *ball;
}

bool SameUniverse(const Universe& a, const Universe& b) {
  if (a.starCount != b.starCount || a.ballCount != b.ballCount) return false;
  for (int32_t i = 0; i < a.starCount; ++i) {
    if (!SameBits(a.stars[i]->position, b.stars[i]->position)) return false;
  }
  for (int32_t i = 0; i < a.ballCount; ++i) {
    const Ball& x = *a.balls[i];
    const Ball& y = *b.balls[i];
    if (!SameBits(x.position, y.position) || !SameBits(x.velocity, y.velocity) || x.red != y.red ||
        x.green != y.green || x.blue != y.blue) {
      return false;
    }
  }
  return true;
}
