#include "config/ConfigDialog.h"
#include "host/CommandLine.h"
#include "host/HostState.h"
#include "host/SaverWindow.h"
#include "host/StartUp.h"

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
