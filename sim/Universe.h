// One simulated world: fixed stars and moving balls.
#pragma once
#include <cstdint>

#include "sim/Bodies.h"

const int32_t UniverseCapacity = 15;

// Candidate positions tried for one body before it is left out. Far more
// than any universe within capacity needs; it only keeps an impossible
// placement from hanging the saver. Tests may lower it.
extern int32_t PlacementAttemptLimit;

class Universe {
 public:
  Universe();                              // random counts from SaverSettings
  Universe(int32_t stars, int32_t balls);  // exactly these counts (clamped to capacity)
  ~Universe();                             // releases the bodies
  Universe(const Universe&) = delete;
  Universe& operator=(const Universe&) = delete;

  // Construction steps. Counts are clamped to 0..UniverseCapacity; a body
  // that cannot be placed or allocated is left out and its count reduced,
  // so slots 0..count-1 always hold bodies and the rest are empty.
  void Populate(int32_t nStars, int32_t nBalls);
  bool PlaceStar(int32_t index);  // false: index out of range, no room or no memory
  bool PlaceBall(int32_t index);

  void ApplyGravity();
  void ResolveCollisions();
  void Draw() const;

  int32_t creationTime;
  int32_t starCount;
  int32_t ballCount;
  Star* stars[UniverseCapacity];
  Ball* balls[UniverseCapacity];
};
