#include "sim/Universe.h"

#include <cmath>
#include <new>

#include "config/SaverSettings.h"
#include "sim/Clock.h"
#include "sim/Precision.h"
#include "sim/Random.h"

int32_t PlacementAttemptLimit = 10000;

namespace {

// Settings edited outside the dialog can ask for any count; the universe
// holds at most UniverseCapacity of each kind and never fewer than none.
int32_t ClampCount(int32_t count) {
  if (count < 0) return 0;
  if (count > UniverseCapacity) return UniverseCapacity;
  return count;
}

double RandomFraction() { return NextRandom() / 32767.0; }

// ceil((max - min) * f) + min, taken in double so that extreme settings can
// neither overflow the integer difference nor convert an out-of-range value.
int32_t RandomCount(int32_t min, int32_t max) {
  const double f = RandomFraction();
  const double span = static_cast<double>(static_cast<int64_t>(max) - min);
  const double count = std::ceil(span * f) + min;
  if (count < 0.0) return 0;
  if (count > UniverseCapacity) return UniverseCapacity;
  return static_cast<int32_t>(count);
}

// The second clock read (plus the salt) seeds the generator, and the first
// draw is thrown away, before anything else is drawn.
void SeedFromClock() {
  SeedRandom(static_cast<uint32_t>(ReadClock()) + SeedSalt);
  NextRandom();
}

}  // namespace

Universe::Universe() : creationTime(ReadClock()), starCount(0), ballCount(0), stars(), balls() {
  UseDoublePrecision();
  SeedFromClock();
  const int32_t nStars = RandomCount(SaverSettings.MinStars, SaverSettings.MaxStars);
  const int32_t nBalls = RandomCount(SaverSettings.MinBalls, SaverSettings.MaxBalls);
  Populate(nStars, nBalls);
}

Universe::Universe(int32_t nStars, int32_t nBalls)
    : creationTime(ReadClock()), starCount(0), ballCount(0), stars(), balls() {
  UseDoublePrecision();
  SeedFromClock();
  Populate(nStars, nBalls);
}

Universe::~Universe() {
  for (int32_t i = 0; i < UniverseCapacity; ++i) {
    delete stars[i];
    delete balls[i];
  }
}

void Universe::Populate(int32_t nStars, int32_t nBalls) {
  for (int32_t i = 0; i < UniverseCapacity; ++i) {
    delete stars[i];
    stars[i] = nullptr;
    delete balls[i];
    balls[i] = nullptr;
  }
  nStars = ClampCount(nStars);
  nBalls = ClampCount(nBalls);
  // All stars first: each ball is placed against every star. The counts grow
  // with each placed body and stop at the first that cannot be placed.
  starCount = 0;
  ballCount = 0;
  while (starCount < nStars && PlaceStar(starCount)) {
    ++starCount;
  }
  while (ballCount < nBalls && PlaceBall(ballCount)) {
    ++ballCount;
  }
}

namespace {

// Where a kind of body may be placed: the box its candidates are drawn from
// (x = ceil(f * width + left), y = ceil(f * height + bottom)), and how far
// it must stay from the stars and from the balls placed before it.
struct PlacementRule {
  double width;
  double left;
  double height;
  double bottom;
  float starGap;
  float ballGap;
};

const PlacementRule StarPlacement = {400.0, -200.0, 300.0, -150.0, 30.0f, 0.0f};
const PlacementRule BallPlacement = {450.0, -225.0, 350.0, -275.0, 27.0f, 24.0f};

// True when none of the first `count` bodies lies nearer than `gap`.
template <typename Body>
bool KeepsClear(Vec2 candidate, Body* const* bodies, int32_t count, float gap) {
  for (int32_t k = 0; k < count; ++k) {
    if (bodies[k] != nullptr && Distance(candidate, bodies[k]->position) < gap) return false;
  }
  return true;
}

// Draws candidates, x then y, until one keeps clear of the first `stars`
// stars and the first `balls` balls; false after PlacementAttemptLimit tries.
bool FindPlace(const Universe& universe, const PlacementRule& rule, int32_t stars,
               int32_t balls, Vec2* place) {
  for (int32_t attempt = 0; attempt < PlacementAttemptLimit; ++attempt) {
    const int32_t x = static_cast<int32_t>(std::ceil(RandomFraction() * rule.width + rule.left));
    const int32_t y = static_cast<int32_t>(std::ceil(RandomFraction() * rule.height + rule.bottom));
    const Vec2 candidate(static_cast<float>(x), static_cast<float>(y));
    if (KeepsClear(candidate, universe.stars, stars, rule.starGap) &&
        KeepsClear(candidate, universe.balls, balls, rule.ballGap)) {
      *place = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

// Stars are placed before any ball: a star keeps clear of the stars before it.
bool Universe::PlaceStar(int32_t index) {
  if (index < 0 || index >= UniverseCapacity) return false;
  Vec2 place;
  if (!FindPlace(*this, StarPlacement, index, 0, &place)) return false;
  delete stars[index];
  stars[index] = new (std::nothrow) Star(place.x, place.y);
  return stars[index] != nullptr;
}

// A ball keeps clear of every star and of the balls before it, then draws
// its colour and its starting velocity.
bool Universe::PlaceBall(int32_t index) {
  if (index < 0 || index >= UniverseCapacity) return false;
  Vec2 place;
  if (!FindPlace(*this, BallPlacement, starCount, index, &place)) return false;
  delete balls[index];
  balls[index] = new (std::nothrow) Ball(place.x, place.y);
  if (balls[index] == nullptr) return false;
  Ball& ball = *balls[index];
  ball.velocity.x = static_cast<float>(2.0 * RandomFraction() - 1.0);
  ball.velocity.y = static_cast<float>(2.0 * RandomFraction() - 1.0);
  return true;
}

void Universe::Draw() const {
  // Stars last, so they cover any ball they overlap.
  for (int32_t i = 0; i < ballCount; ++i) balls[i]->Draw();
  for (int32_t i = 0; i < starCount; ++i) stars[i]->Draw();
}
