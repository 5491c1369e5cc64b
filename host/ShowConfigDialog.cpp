#include "config/ConfigDialog.h"
#include "host/HostState.h"
#include "host/StartUp.h"
#include "resources/ResourceIds.h"

INT_PTR ShowConfigDialog(HWND parent) {
  if (!PrepareDialogClasses(ModuleInstance)) return 0;
  return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_CONFIG), parent, ConfigDialogProc, 0);
}
