#include "config/SaverSettings.h"

SaverSettingsRecord SaverSettings = {1, 10, 1, 10, 80};

void NormaliseRange(int32_t& minimum, int32_t& maximum) {
  if (minimum > maximum) {
    int32_t lower = maximum;
    maximum = minimum;
    minimum = lower;
  }
}
