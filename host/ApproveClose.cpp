// Whether a full-screen saver on Windows 9x may close: asks the password
// component's verifier, at most once per 200 ms after the last dialog.
#include "host/DefaultSaverProc.h"

#include "host/HostState.h"

static const DWORD NoCheckYet = 0xFFFFFFFF;
static const DWORD RecheckDelayMs = 200;
static const UINT VerifyPasswordMessage = 0x8000;

// A frame drawn just before the dialog would only delay it; at most two
// queued timer messages are dropped.
static void DropPendingTimerMessages(HWND window) {
  MSG msg;
  PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
  PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

BOOL ApproveClose(HWND window) {
  if (CheckInProgress != 0 || CloseApproved != 0) return 0;

  if (PasswordVerifier == nullptr) {
    CloseApproved = 1;
    return 1;
  }

  // Unsigned difference: a wrap of the tick counter does no harm.
  DWORD now = GetTickCount();
  if (LastCheckTick != NoCheckYet && now - LastCheckTick < RecheckDelayMs) return 0;

  CheckInProgress = 1;
  DropPendingTimerMessages(window);

  // Travels the window procedures to DefaultSaverProc, which calls the
  // verifier; its dialog runs a modal loop on this thread.
  LRESULT result = SendMessageA(window, VerifyPasswordMessage, 0, 0);

  CloseApproved = result != 0 ? 1 : 0;
  CheckInProgress = 0;
  if (result == 0) SetCursor(nullptr);
  LastCheckTick = GetTickCount();
  return CloseApproved;
}
