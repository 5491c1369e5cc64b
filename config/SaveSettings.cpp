#include "config/SettingsStore.h"

#include <commctrl.h>

#include "config/SaverSettings.h"
#include "config/SettingsKey.h"
#include "resources/ResourceIds.h"

namespace {

void StoreField(HKEY key, const char* name, const int32_t& field) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&field), sizeof field);
}

}  // namespace

void SaveSettings(HWND dialog) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  char noClass[] = "";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, noClass, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;  // Nothing saved; gravity stays what it was.
  }
  StoreField(key, "MinStars", SaverSettings.MinStars);
  StoreField(key, "MaxStars", SaverSettings.MaxStars);
  StoreField(key, "MinBalls", SaverSettings.MinBalls);
  StoreField(key, "MaxBalls", SaverSettings.MaxBalls);
  // Gravity is never tracked while the thumb moves: it is read here, once.
  HWND trackbar = GetDlgItem(dialog, IDC_GRAVITY_TRACKBAR);
  SaverSettings.GraviticForce = static_cast<int32_t>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  StoreField(key, "GraviticForce", SaverSettings.GraviticForce);
  RegCloseKey(key);
}
