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

// WM_POWER's wParam when the system resumes from a critical suspension.
static const WPARAM PowerCriticalResume = 3;  // PWR_CRITICALRESUME

static void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

// The message's own coordinates are client-relative and may lag; the cursor
// position is what the anchor was taken from.
static void CloseIfMouseMoved(HWND window) {
  POINT now;
  if (!GetCursorPos(&now)) return;
  DWORD dx = static_cast<DWORD>(std::labs(now.x - MouseAnchor.x));
  DWORD dy = static_cast<DWORD>(std::labs(now.y - MouseAnchor.y));
  if (dx + dy > MoveTolerance) {
    PostClose(window);
    MouseAnchor = now;
  }
}

// A close in full screen passes the password check on Windows 9x; refused,
// the window stays and movement is measured afresh from here.
static bool CloseRefused(HWND window) {
  if (Win9xPlatform != 1 || ApproveClose(window)) return false;
  GetCursorPos(&MouseAnchor);
  return true;
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
  if (message == WM_CLOSE && CloseRefused(window)) return 0;
  // Answered even while the check runs: this is the check.
  if (message == VerifyPasswordMessage && Win9xPlatform == 1)
    return PasswordVerifier != nullptr ? PasswordVerifier(window) : 1;

  // User activity, loss of activation and power events ask to close; the
  // cursor stays hidden.  Nothing of this while the password dialog is open.
  if (CheckInProgress != 1) {
    switch (message) {
      case WM_SHOWWINDOW:
        if (wParam != 0) HideCursor();
        break;
      case WM_ACTIVATEAPP:
        if (wParam == 0) PostClose(window);
        break;
      case WM_SETCURSOR:
        HideCursor();
        return TRUE;
      case WM_POWER:
        if (wParam == PowerCriticalResume) PostClose(window);
        break;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_POWERBROADCAST:
        PostClose(window);
        break;
      case WM_MOUSEMOVE:
        CloseIfMouseMoved(window);
        break;
    }
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
