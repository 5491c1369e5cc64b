// Default handling of the saver window's messages: user activity, loss of
// activation and power events become a posted WM_CLOSE in full screen; a
// WM_CLOSE passes ApproveClose on Windows 9x; the rest gets the platform
// default.
#include "host/DefaultSaverProc.h"

#include "host/HostState.h"

#include <cstdlib>

int CheckInProgress = 0;
DWORD MoveTolerance = 4;
DWORD LastCheckTick = 0xFFFFFFFF;

static void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

// Handlers of the close triggers.  Each returns true when it settled the
// message itself (its result in *result); false lets the message go on.

static bool OnShowWindow(HWND, WPARAM wParam, LRESULT*) {
  if (wParam != 0) HideCursor();
  return false;
}

static bool OnActivateApp(HWND window, WPARAM wParam, LRESULT*) {
  if (wParam == 0) PostClose(window);
  return false;
}

static bool OnSetCursor(HWND, WPARAM, LRESULT* result) {
  HideCursor();
  *result = TRUE;
  return true;
}

static bool OnPower(HWND window, WPARAM wParam, LRESULT*) {
  const WPARAM criticalResume = 3;  // PWR_CRITICALRESUME
  if (wParam == criticalResume) PostClose(window);
  return false;
}

static bool OnInput(HWND window, WPARAM, LRESULT*) {
  PostClose(window);
  return false;
}

// The message's own coordinates are client-relative and may lag; the cursor
// position is what the anchor was taken from.
static bool OnMouseMove(HWND window, WPARAM, LRESULT*) {
  POINT now;
  if (!GetCursorPos(&now)) return false;
  DWORD dx = static_cast<DWORD>(std::labs(now.x - MouseAnchor.x));
  DWORD dy = static_cast<DWORD>(std::labs(now.y - MouseAnchor.y));
  if (dx + dy > MoveTolerance) {
    PostClose(window);
    MouseAnchor = now;
  }
  return false;
}

static bool OnPowerBroadcast(HWND window, WPARAM, LRESULT*) {
  PostClose(window);
  return false;
}

typedef bool (*TriggerHandler)(HWND window, WPARAM wParam, LRESULT* result);

struct TriggerEntry {
  UINT message;
  TriggerHandler handler;
};

static const TriggerEntry CloseTriggers[] = {
    {WM_SHOWWINDOW, OnShowWindow},
    {WM_ACTIVATEAPP, OnActivateApp},
    {WM_SETCURSOR, OnSetCursor},
    {WM_POWER, OnPower},
    {WM_KEYDOWN, OnInput},
    {WM_SYSKEYDOWN, OnInput},
    {WM_LBUTTONDOWN, OnInput},
    {WM_RBUTTONDOWN, OnInput},
    {WM_MBUTTONDOWN, OnInput},
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_POWERBROADCAST, OnPowerBroadcast},
};

static bool HandleCloseTrigger(HWND window, UINT message, WPARAM wParam, LRESULT* result) {
  for (const TriggerEntry& entry : CloseTriggers) {
    if (entry.message == message) return entry.handler(window, wParam, result);
  }
  return false;
}

// The shell's AutoPlay query and the platform default: answered in every
// mode, also once closing is approved.
static LRESULT FinishDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CancelAutoPlayMsg != 0 && message == CancelAutoPlayMsg) {
    PostClose(window);
    return PasswordVerifier != nullptr ? 1 : 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (PreviewMode != 0 || CloseApproved != 0) return FinishDefault(window, message, wParam, lParam);

  if (message == WM_CLOSE) {
    if (Win9xPlatform == 1 && !ApproveClose(window)) {
      // Refused: movement is measured afresh from here.
      GetCursorPos(&MouseAnchor);
      return 0;
    }
    return FinishDefault(window, message, wParam, lParam);
  }

  // Answered even while the check runs: this is the check.
  if (message == VerifyPasswordMessage && Win9xPlatform == 1)
    return PasswordVerifier != nullptr ? PasswordVerifier(window) : 1;

  if (CheckInProgress != 1) {
    LRESULT result = 0;
    if (HandleCloseTrigger(window, message, wParam, &result)) return result;
  }
  return FinishDefault(window, message, wParam, lParam);
}

// Whether a full-screen saver on Windows 9x may close: asks the password
// component's verifier, at most once per 200 ms after the last dialog.
static const DWORD NoCheckYet = 0xFFFFFFFF;
static const DWORD RecheckDelayMs = 200;

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
  if (result == 0) HideCursor();
  LastCheckTick = GetTickCount();
  return CloseApproved;
}
