#include "config/SaverSettings.h"

#include <cstring>

#include "resources/ResourceIds.h"

SaverSettingsRecord SaverSettings = {1, 10, 1, 10, 80};

const SettingRow SettingsTable[SettingCount] = {
    {"MinStars", &SaverSettingsRecord::MinStars, FewestBodies, MostBodies, "min-stars",
     IDC_MIN_STARS},
    {"MaxStars", &SaverSettingsRecord::MaxStars, FewestBodies, MostBodies, "max-stars",
     IDC_MAX_STARS},
    {"MinBalls", &SaverSettingsRecord::MinBalls, FewestBodies, MostBodies, "min-balls",
     IDC_MIN_BALLS},
    {"MaxBalls", &SaverSettingsRecord::MaxBalls, FewestBodies, MostBodies, "max-balls",
     IDC_MAX_BALLS},
    {"GraviticForce", &SaverSettingsRecord::GraviticForce, WeakestGravity, StrongestGravity,
     "gravity", IDC_GRAVITY_TRACKBAR},
};

const SettingRow* FindSettingByControl(int controlId) {
  for (const SettingRow& row : SettingsTable) {
    if (row.dialogControl == controlId) return &row;
  }
  return nullptr;
}

const SettingRow* FindSettingByOption(const char* name) {
  for (const SettingRow& row : SettingsTable) {
    if (std::strcmp(row.hackOption, name) == 0) return &row;
  }
  return nullptr;
}

void SetClamped(SaverSettingsRecord& settings, const SettingRow& row, long long value) {
  settings.*row.field = static_cast<int32_t>(
      value < row.lowest ? row.lowest : (value > row.highest ? row.highest : value));
}

void NormaliseRange(int32_t& minimum, int32_t& maximum) {
  if (minimum > maximum) {
    int32_t lower = maximum;
    maximum = minimum;
    minimum = lower;
  }
}

void NormaliseCountRanges(SaverSettingsRecord& settings) {
  NormaliseRange(settings.MinStars, settings.MaxStars);
  NormaliseRange(settings.MinBalls, settings.MaxBalls);
}
