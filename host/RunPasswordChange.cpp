#include "host/CommandLine.h"
#include "host/StartUp.h"

namespace {
// The Windows 9x network provider's password-change entry.
typedef DWORD(WINAPI* PasswordChangeFunction)(LPCSTR provider, HWND owner, DWORD reserved1,
                                              DWORD reserved2);
}  // namespace

int RunPasswordChange(const char* text) {
  HWND owner = WindowFromValue(ParseWindowHandle(text));
  if (!owner || !IsWindow(owner)) owner = GetForegroundWindow();
  HMODULE provider = LoadLibraryA("MPR.DLL");
  if (!provider) return 0;
  auto changePassword = reinterpret_cast<PasswordChangeFunction>(
      reinterpret_cast<void*>(GetProcAddress(provider, "PwdChangePasswordA")));
  if (changePassword) changePassword("SCRSAVE", owner, 0, 0);
  FreeLibrary(provider);
  return 0;
}
