// The universe on show, and putting a new one in its place.
#pragma once
#include <cstdint>

class Universe;

// The universe every frame advances and draws; owned here, null only before
// the first one is made (or while memory for one could not be had).
extern Universe* CurrentUniverse;

// A universe older than this many seconds is replaced at the next frame.
const int32_t UniverseMaxAge = 60;

// New universes, or null when memory for one cannot be had.
Universe* NewRandomUniverse();
Universe* NewUniverseWithCounts(int32_t stars, int32_t balls);

// Puts `fresh` in place and releases the previous universe.  A null `fresh`
// keeps the current one, so a failed allocation only skips a renewal.
void ReplaceUniverse(Universe* fresh);

// The age is the signed 32-bit difference now - creationTime: a clock set
// back gives a negative age, which is never too old.
bool UniverseIsTooOld(int32_t now, int32_t creationTime);

// Replaces the current universe with a random one when it is too old at `now`;
// with none at all (memory failed before), tries to make one.
void RenewUniverseIfTooOld(int32_t now);
