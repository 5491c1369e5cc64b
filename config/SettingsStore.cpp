#include "config/SettingsStore.h"

#include <commctrl.h>

#include <cstring>

#include "config/SaverSettings.h"
#include "resources/ResourceIds.h"

namespace {

const char SettingsKeyPath[] = "Software\\Quillara";

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

void StoreField(HKEY key, const char* name, const int32_t& field) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&field), sizeof field);
}

}  // namespace

void LoadSettings() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    SaverSettings = FallbackSettings;  // the key cannot be opened: never saved
    return;
  }
  for (const SettingRow& row : SettingsTable) {
    QueryField(key, row.valueName, SaverSettings.*row.field);
  }
  RegCloseKey(key);
}

void SaveSettings(HWND dialog) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  char noClass[] = "";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, noClass, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;  // Nothing saved; gravity stays what it was.
  }
  // Gravity is never tracked while the thumb moves: it is read here, once.
  HWND trackbar = GetDlgItem(dialog, IDC_GRAVITY_TRACKBAR);
  SaverSettings.GraviticForce = static_cast<int32_t>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  for (const SettingRow& row : SettingsTable) {
    StoreField(key, row.valueName, SaverSettings.*row.field);
  }
  RegCloseKey(key);
}
