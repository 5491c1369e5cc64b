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
