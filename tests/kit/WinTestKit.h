// The one kit of the Windows tests: a scratch registry, bounded message
// pumping, a saver run scripted from inside its own message loop, and
// child programs started with exact command lines.
#pragma once
#include <windows.h>

#include <cstdint>

// Redirects this process's HKEY_CURRENT_USER to a fresh scratch key, removed
// again on destruction.  volatileRoot: no non-volatile key can be created
// beneath it, so the settings key cannot be made.
struct ScratchRegistry {
  explicit ScratchRegistry(bool volatileRoot = false);
  ~ScratchRegistry();
  char path[96];
};

// Stores a value under a key of the redirected HKEY_CURRENT_USER; null data
// only creates the key.
void PutValue(const char* key, const char* name, DWORD type, const void* data, DWORD size);
inline void PutDword(const char* key, const char* name, DWORD value) {
  PutValue(key, name, REG_DWORD, &value, sizeof value);
}
// The value's type and first four bytes; false when key or value is missing.
bool ReadValue(const char* key, const char* name, DWORD* type, DWORD* value);
bool KeyExists(const char* key);

// Dispatches this thread's messages until done() or the deadline; returns
// whether done() became true.
bool PumpUntil(bool (*done)(), DWORD deadlineMs);
void PumpFor(DWORD milliseconds);

// Removes and counts the queued messages of one number for the window.
int TakeQueued(HWND window, UINT message);

// Puts the real pointer at (x, y) and waits until the platform reports it.
void PlaceCursor(int x, int y);

// Runs RunSaver(parent) while a thread timer inside its message loop calls
// step(tick) every 20 ms (tick counts from 0).  Past the deadline the saver
// window is destroyed and timedOut is set, so every run ends.
struct ScriptedRun {
  int exitCode;
  bool timedOut;
};
ScriptedRun RunSaverScripted(HWND parent, void (*step)(int tick), DWORD deadlineMs = 8000);

// A plain visible top-level window, to parent a preview or own a dialog.
HWND CreatePlainWindow(int clientWidth, int clientHeight);

// Starts `program` with exactly `commandLine`, pumping this thread's messages
// meanwhile; returns the exit code, or -2 (after ending it) when it outlives
// the deadline.  onWindow, if given, is called once with the first visible
// top-level window of the child and may act on it.
int RunProgram(const char* program, const char* commandLine, DWORD deadlineMs,
               void (*onWindow)(HWND window) = nullptr);

// The directory of this test program, with a trailing backslash.
const char* TestDirectory();
