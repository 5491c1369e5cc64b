// One simulated world: fixed stars and moving balls.
#pragma once
#include <cstdint>

#include "sim/Ball.h"
#include "sim/Star.h"

const int32_t UniverseCapacity = 15;

class Universe {
 public:
  Universe();                               // random counts from SaverSettings
  Universe(int32_t stars, int32_t balls);   // exactly these counts (clamped to capacity)
  ~Universe();
  Universe(const Universe&) = delete;
  Universe& operator=(const Universe&) = delete;

  void Populate(int32_t nStars, int32_t nBalls);
  bool PlaceStar(int32_t index);
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
