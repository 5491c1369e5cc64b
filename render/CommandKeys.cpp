#include "render/CommandKeys.h"

#include "config/SaverSettings.h"
#include "render/UniverseRenewal.h"

namespace {

typedef int32_t SaverSettingsRecord::*CountField;

struct CommandKey {
  uint32_t code;     // virtual-key code: the upper-case letter
  CountField stars;  // both null: random counts from the ranges
  CountField balls;
};

const CommandKey CommandKeys[] = {
    {'B', nullptr, nullptr},
    {'M', &SaverSettingsRecord::MinStars, &SaverSettingsRecord::MaxBalls},
    {'N', &SaverSettingsRecord::MinStars, &SaverSettingsRecord::MinBalls},
    {'X', &SaverSettingsRecord::MaxStars, &SaverSettingsRecord::MaxBalls},
    {'Z', &SaverSettingsRecord::MaxStars, &SaverSettingsRecord::MinBalls},
};

const CommandKey* FindCommandKey(uint32_t keyCode) {
  for (const CommandKey& key : CommandKeys) {
    if (key.code == keyCode) return &key;
  }
  return nullptr;
}

}  // namespace

bool IsCommandKey(uint32_t keyCode) { return FindCommandKey(keyCode) != nullptr; }

Universe* NewUniverseForKey(uint32_t keyCode) {
  const CommandKey* key = FindCommandKey(keyCode);
  if (key == nullptr) return nullptr;
  if (key->stars == nullptr) return NewRandomUniverse();
  return NewUniverseWithCounts(SaverSettings.*(key->stars), SaverSettings.*(key->balls));
}
