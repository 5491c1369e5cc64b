#include "host/ExceptionGuard.h"
#include "host/HostState.h"
#include "host/StartUp.h"

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
