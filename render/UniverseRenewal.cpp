#include "render/UniverseRenewal.h"

#include <new>

#include "sim/Universe.h"

Universe* CurrentUniverse = nullptr;

Universe* NewRandomUniverse() { return new (std::nothrow) Universe(); }

Universe* NewUniverseWithCounts(int32_t stars, int32_t balls) {
  return new (std::nothrow) Universe(stars, balls);
}

void ReplaceUniverse(Universe* fresh) {
  if (fresh == nullptr) return;
  Universe* previous = CurrentUniverse;
  CurrentUniverse = fresh;
  delete previous;
}

bool UniverseIsTooOld(int32_t now, int32_t creationTime) {
  // Wrapping subtraction in unsigned, read back as signed: the clock's
  // difference stays meaningful across a clock set back or a wrap.
  const int32_t age =
      static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(creationTime));
  return age > UniverseMaxAge;
}

void RenewUniverseIfTooOld(int32_t now) {
  if (CurrentUniverse == nullptr || UniverseIsTooOld(now, CurrentUniverse->creationTime)) {
    ReplaceUniverse(NewRandomUniverse());
  }
}
