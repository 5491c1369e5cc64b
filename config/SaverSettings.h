// The five user settings of the saver, one record for the whole process.
#pragma once
#include <cstdint>

struct SaverSettingsRecord {
  int32_t MinStars;
  int32_t MaxStars;
  int32_t MinBalls;
  int32_t MaxBalls;
  int32_t GraviticForce;
};

// Holds the start-up values 1, 10, 1, 10, 80 until something is loaded.
extern SaverSettingsRecord SaverSettings;

// What a user who never saved gets.
constexpr SaverSettingsRecord FallbackSettings = {2, 9, 3, 9, 60};

// The ranges the dialog offers.
constexpr int32_t FewestBodies = 1;
constexpr int32_t MostBodies = 12;
constexpr int32_t WeakestGravity = 40;
constexpr int32_t StrongestGravity = 120;

// Swaps a reversed pair, comparing as signed values; an ordered pair stays.
void NormaliseRange(int32_t& minimum, int32_t& maximum);
