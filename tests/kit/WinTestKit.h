// The Windows tests' kit: a scratch registry, bounded message pumping, saver
// runs scripted from inside their loop, child programs with exact lines.
#pragma once
#include <windows.h>

// Redirects this process's HKEY_CURRENT_USER to a fresh scratch key, removed
// on destruction.  volatileRoot: no non-volatile key can be created beneath.
struct ScratchRegistry {
  explicit ScratchRegistry(bool volatileRoot = false);
  ~ScratchRegistry();
};

// Writes a value under a key of HKEY_CURRENT_USER (null data: the key only).
inline void PutValue(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
  RegSetKeyValueA(HKEY_CURRENT_USER, key, name, type, data, size);
  if (data == nullptr) RegDeleteKeyValueA(HKEY_CURRENT_USER, key, name);
}
bool KeyExists(const char* key);  // under HKEY_CURRENT_USER

// Dispatches this thread's messages for a while (what is queued, at least).
void PumpFor(DWORD milliseconds);
// Removes and counts the window's queued messages of one number.
int TakeQueued(HWND window, UINT message);
// Puts the real pointer at (x, y) and waits until the platform reports it.
void PlaceCursor(int x, int y);

// RunSaver(parent) with step(tick) called every 20 ms inside its message loop: its exit
// code, or -2 when after 8 s the saver window was destroyed by force.
int RunSaverScripted(HWND parent, void (*step)(int tick));

// A plain visible top-level window, to parent a preview or own a dialog.
HWND CreatePlainWindow(int width, int height);

// Runs `program` with exactly `commandLine`, pumping meanwhile; the exit
// code, or -2 (after ending it) past the deadline, -3 if it never started.
// onWindow is called once with the child's first visible top-level window.
int RunProgram(const char* program, const char* commandLine, DWORD deadlineMs,
               void (*onWindow)(HWND window) = nullptr);
// RunProgram in two halves, for a test that acts between them.
PROCESS_INFORMATION StartProgram(const char* program, const char* commandLine);
int FinishProgram(PROCESS_INFORMATION child, DWORD deadlineMs,
                  void (*onWindow)(HWND window) = nullptr);
HWND VisibleWindowOf(DWORD process);  // a visible top-level window of the process, or null
