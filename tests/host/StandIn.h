// Access to the scripting entries of the PASSWORD.CPL stand-in once the host
// has loaded it.
#pragma once
#include <windows.h>

#include "host/PasswordSupport.h"
#include "tests/host/EventLog.h"

struct StandIn {
  void (*QueueAnswer)(BOOL answer) = nullptr;
  void (*SetDuringCall)(void (*action)(HWND window)) = nullptr;
  int (*CallCount)() = nullptr;
  HWND (*CallWindow)(int index) = nullptr;

  // Looks the entries up in the loaded component; false when not loaded.
  bool Bind() {
    if (PasswordModule == nullptr) return false;
    Find(QueueAnswer, "StandInQueueAnswer");
    Find(SetDuringCall, "StandInSetDuringCall");
    Find(CallCount, "StandInCallCount");
    Find(CallWindow, "StandInCallWindow");
    return QueueAnswer && SetDuringCall && CallCount && CallWindow;
  }

 private:
  template <typename F>
  void Find(F& entry, const char* name) {
    entry = reinterpret_cast<F>(reinterpret_cast<void*>(RealGetProcAddress(PasswordModule, name)));
  }
};
