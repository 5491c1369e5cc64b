// The Windows 9x screen-saver password component: loaded for a full-screen
// run when the user's desktop setting asks for a password.
#include "host/PasswordSupport.h"

#include "host/HostState.h"

HMODULE PasswordModule = nullptr;

static bool PasswordInUse(HKEY desktop) {
  // Zeroed first: a shorter value fills only its own bytes, and the rest
  // must not be read as garbage.
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG status = RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(&value), &size);
  return status == ERROR_SUCCESS && value != 0;
}

void LoadPasswordComponent() {
  if (Win9xPlatform == 0) return;
  if (PasswordModule != nullptr) UnloadPasswordComponent();

  HKEY desktop;
  if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &desktop) != ERROR_SUCCESS) return;

  if (PasswordInUse(desktop)) {
    PasswordModule = LoadLibraryA("PASSWORD.CPL");
    if (PasswordModule != nullptr) {
      PasswordVerifier = reinterpret_cast<PasswordVerifierFunction>(
          reinterpret_cast<void*>(GetProcAddress(PasswordModule, "VerifyScreenSavePwd")));
      if (PasswordVerifier != nullptr)
        SetSaverRunning(TRUE);
      else
        UnloadPasswordComponent();
    }
  }
  RegCloseKey(desktop);
}

void UnloadPasswordComponent() {
  if (Win9xPlatform == 0 || PasswordModule == nullptr) return;
  FreeLibrary(PasswordModule);
  PasswordModule = nullptr;
  if (PasswordVerifier != nullptr) {
    PasswordVerifier = nullptr;
    SetSaverRunning(FALSE);
  }
}

BOOL SetSaverRunning(BOOL on) {
  if (Win9xPlatform == 0) return FALSE;
  const UINT screenSaverRunning = 97;  // SPI_SCREENSAVERRUNNING
  UINT previous = 0;
  return SystemParametersInfoA(screenSaverRunning, on, &previous, 0);
}
