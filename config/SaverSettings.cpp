#include "config/SaverSettings.h"

SaverSettingsRecord SaverSettings = {1, 10, 1, 10, 80};
