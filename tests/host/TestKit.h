// Shared helpers of the host tests: a scratch registry, bounded message
// pumping and a recording test window.
#pragma once
#include <windows.h>

// Redirects HKEY_CURRENT_USER of this process to a fresh scratch key, removed
// again on destruction.
struct ScratchRegistry {
  ScratchRegistry();
  ~ScratchRegistry();
  // Stores "Control Panel\Desktop" "ScreenSaveUsePassword" with the given
  // type and bytes.
  void SetUsePassword(DWORD type, const void* data, DWORD size);
  void SetUsePassword(DWORD value) { SetUsePassword(REG_DWORD, &value, sizeof value); }
  void DeleteUsePassword();
  char path[128];
};

// Puts the real pointer at (x, y) and lets the platform settle.  A fresh
// Wine process believes the pointer is at the screen centre until the X
// server says otherwise, and skips a warp to where it believes it already
// is; a detour forces a real warp.
void PlaceCursor(int x, int y);

// Dispatches the thread's messages for the given time.
void PumpFor(DWORD milliseconds);

// Dispatches messages until done() is true or the deadline passes; returns
// whether done() became true.
template <typename Done>
bool PumpUntil(Done done, DWORD deadlineMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE,
                              deadlineMs - elapsed < 10 ? deadlineMs - elapsed : 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

// Removes and counts the queued messages of one number for the window.
int TakeQueued(HWND window, UINT message);
bool IsQueued(HWND window, UINT message);

// A full-screen popup whose procedure records each message and hands it to
// DefaultSaverProc, standing in for the saver procedures above it.  WM_CREATE
// records the mouse anchor as the host does.
HWND CreateRecordingWindow(bool fullScreen = true);
// When set, the recording window keeps WM_CLOSE to itself (recorded, not
// handled), so that a test can go on after a close was posted.
extern bool SwallowClose;
LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Messages that the platform sends on its own and that the tests do not
// care about; they are not recorded.
bool IsBackgroundMessage(UINT message);

// Runs RunSaver(parent) while a thread timer inside its message loop calls
// step(tick) every 20 ms.  Past the deadline the saver window is destroyed
// and timedOut is set, so the run always ends.
struct ScriptedRun {
  int exitCode = 0;
  bool timedOut = false;
  DWORD elapsedMs = 0;
};
ScriptedRun RunSaverScripted(HWND parent, void (*step)(int tick), DWORD deadlineMs);

// A plain top-level window standing in for the program that owns a preview;
// it records the messages it receives (kind Received, any window).
HWND CreatePreviewOwner(int clientWidth, int clientHeight);
struct OwnerMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
extern OwnerMessage OwnerMessages[32];
extern int OwnerMessageCount;
