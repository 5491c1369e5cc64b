#include "config/SettingsStore.h"

#include <cstring>

#include "config/SaverSettings.h"
#include "config/SettingsKey.h"

namespace {

// Used when the key cannot be opened: a user who never saved gets these.
constexpr SaverSettingsRecord FallbackSettings = {2, 9, 3, 9, 60};

// Offers the registry exactly the field's 4 bytes, every time: a fresh size
// per query, so one odd value cannot widen the buffer the next query gets.
// The data goes to a staging copy of the field and is taken over only when
// the query delivered it: a missing value leaves the field alone, data of 4
// bytes or less replaces the field's first bytes (the rest keep theirs), and
// data longer than 4 bytes, which fails the query with an undefined buffer,
// leaves the field as it was.
void QueryField(HKEY key, const char* name, int32_t& field) {
  unsigned char staging[sizeof(int32_t)];
  std::memcpy(staging, &field, sizeof staging);
  DWORD size = sizeof staging;
  if (RegQueryValueExA(key, name, nullptr, nullptr, staging, &size) == ERROR_SUCCESS) {
    std::memcpy(&field, staging, sizeof staging);
  }
}

}  // namespace

void LoadSettings() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    SaverSettings = FallbackSettings;
    return;
  }
  QueryField(key, "MinStars", SaverSettings.MinStars);
  QueryField(key, "MaxStars", SaverSettings.MaxStars);
  QueryField(key, "MinBalls", SaverSettings.MinBalls);
  QueryField(key, "MaxBalls", SaverSettings.MaxBalls);
  QueryField(key, "GraviticForce", SaverSettings.GraviticForce);
  RegCloseKey(key);
}
