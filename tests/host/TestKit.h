// Shared helpers of the host tests: a scratch registry, bounded message
// pumping, a recording test window, scripted saver runs and a preview owner.
#pragma once
#include <windows.h>

// Redirects HKEY_CURRENT_USER of this process to a fresh scratch key, removed
// again on destruction.
struct ScratchRegistry {
  ScratchRegistry();
  ~ScratchRegistry();
  // Stores "Control Panel\Desktop" "ScreenSaveUsePassword" with the given
  // type and bytes; a null `data` deletes the value.
  void SetUsePassword(DWORD type, const void* data, DWORD size);
  void SetUsePassword(DWORD value) { SetUsePassword(REG_DWORD, &value, sizeof value); }
  char path[128];
};

// Puts the real pointer at (x, y) and lets the platform settle.  A fresh
// Wine process believes the pointer is at the screen centre until the X
// server says otherwise, and skips a warp to where it believes it already
// is; a detour forces a real warp.
void PlaceCursor(int x, int y);

// Dispatches the thread's messages until done() is true or the deadline
// passes; returns whether done() became true.
template <typename Done>
bool PumpUntil(Done done, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, deadlineMs - elapsed < 10 ? deadlineMs - elapsed : 10,
                              QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}
inline void PumpFor(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

// Removes and counts the queued messages of one number for the window.
int TakeQueued(HWND window, UINT message);

// A full-screen popup whose procedure records each message it receives and
// hands it to DefaultSaverProc, standing in for the saver procedures above
// it; WM_CREATE records the mouse anchor as the host does.  With
// SwallowClose it keeps WM_CLOSE to itself, so a test can go on after a
// close was posted.
HWND CreateRecordingWindow();
extern bool SwallowClose;

// Runs RunSaver(parent) while a thread timer inside its message loop calls
// step(tick) every 20 ms.  Past the deadline the saver window is destroyed
// and timedOut is set, so the run always ends.
struct ScriptedRun {
  int exitCode;
  bool timedOut;
};
ScriptedRun RunSaverScripted(HWND parent, void (*step)(int tick), DWORD deadlineMs = 8000);

// A plain top-level window standing in for the program that owns a preview;
// it keeps the WM_HELP and WM_CONTEXTMENU messages it receives.
HWND CreatePreviewOwner(int clientWidth, int clientHeight);
struct OwnerMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
extern OwnerMessage OwnerMessages[8];
extern int OwnerMessageCount;
