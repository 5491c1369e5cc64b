#include "host/StartUp.h"

#include "config/ConfigDialog.h"
#include "host/FaultGuard.h"
#include "host/HostState.h"
#include "host/SaverWindow.h"
#include "resources/ResourceIds.h"

namespace {

bool AboveSpace(const char* at) { return static_cast<unsigned char>(*at) > ' '; }

// Letters compare as signed bytes: 0x80 to 0xFF never match.
bool IsSwitchPrefix(signed char byte) { return byte == ' ' || byte == '-' || byte == '/'; }

const char* SkipSpaces(const char* at) {
  while (*at == ' ') ++at;
  return at;
}

}  // namespace

const char* CommandLineTail(const char* commandLine) {
  const char* at = commandLine;
  if (*at == '"') {
    do {
      at = CharNextA(at);
    } while (*at != '\0' && *at != '"');
    if (*at == '"') ++at;
  } else if (AboveSpace(at)) {
    while (AboveSpace(at)) at = CharNextA(at);
  }
  while (*at != '\0' && !AboveSpace(at)) at = CharNextA(at);
  return at;
}

SwitchReading ReadFirstSwitch(const char* tail) {
  const char* at = tail;
  while (IsSwitchPrefix(static_cast<signed char>(*at))) ++at;
  switch (*at) {
    case '\0':
      return {SaverSwitch::ConfigureUnowned, at};
    case 's':
    case 'S':
      return {SaverSwitch::FullScreen, at + 1};
    case 'p':
    case 'P':
    case 'l':
    case 'L':
      return {SaverSwitch::Preview, SkipSpaces(at + 1)};
    case 'c':
    case 'C':
      return {SaverSwitch::ConfigureOwned, at + 1};
    case 'a':
    case 'A':
      return {SaverSwitch::PasswordChange, SkipSpaces(at + 1)};
    default:
      return {SaverSwitch::Unknown, at};
  }
}

uint32_t ReadConfigOwner(const char* rest) {
  return *rest == ':' ? ParseWindowHandle(rest + 1) : 0;
}

// Decimal digits only, no blank or sign; the value wraps modulo 2^32 like the
// 32-bit handle it stands for.
uint32_t ParseWindowHandle(const char* text) {
  uint32_t value = 0;
  for (const char* at = text; *at >= '0' && *at <= '9'; ++at) {
    value = value * 10u + static_cast<uint32_t>(*at - '0');
  }
  return value;
}

namespace {

// A bad owner for the dialog is replaced by the foreground window.
HWND LiveOwnerOrForeground(uint32_t value) {
  HWND owner = WindowFromValue(value);
  return owner && IsWindow(owner) ? owner : GetForegroundWindow();
}

}  // namespace

int RunSwitch(const char* tail) {
  SwitchReading reading = ReadFirstSwitch(tail);
  switch (reading.kind) {
    case SaverSwitch::ConfigureUnowned:
      return static_cast<int>(ShowConfigDialog(nullptr));
    case SaverSwitch::FullScreen:
      return RunSaver(nullptr);
    case SaverSwitch::Preview:
      return RunPreview(reading.rest);
    case SaverSwitch::ConfigureOwned:
      return static_cast<int>(
          ShowConfigDialog(LiveOwnerOrForeground(ReadConfigOwner(reading.rest))));
    case SaverSwitch::PasswordChange:
      return Win9xPlatform == 1 ? RunPasswordChange(reading.rest) : -1;
    case SaverSwitch::Unknown:
    default:
      return -1;
  }
}

// The preview needs a window to live in: a bad parent is an error.
int RunPreview(const char* text) {
  HWND parent = WindowFromValue(ParseWindowHandle(text));
  if (!parent || !IsWindow(parent)) return -1;
  return RunSaver(parent);
}

namespace {

LRESULT HandleConfigMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return ConfigDialogProc(dialog, message, wParam, lParam);
}

// The dialog's procedure inside the exception guard: the platform calls it
// through kernel callbacks too, as it does the saver window's.
INT_PTR CALLBACK GuardedConfigDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  return HandleGuarded(HandleConfigMessage, dialog, message, wParam, lParam);
}

}  // namespace

INT_PTR ShowConfigDialog(HWND parent) {
  if (!PrepareDialogClasses(ModuleInstance)) return 0;
  return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_CONFIG), parent,
                         GuardedConfigDialogProc, 0);
}

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

namespace {

int DetectWin9xPlatform() {
  OSVERSIONINFOA version = {};
  static_assert(sizeof version == 148, "the version record the platform expects");
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
}

}  // namespace

int SaverMain(HINSTANCE instance, const char* tail) {
  ModuleInstance = instance;
  Win9xPlatform = DetectWin9xPlatform();
  return RunGuarded(RunSwitch, tail);
}

// Takes what it needs from the platform itself and never returns.
void SaverEntry() {
  const char* tail = CommandLineTail(GetCommandLineA());
  ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail)));
}
