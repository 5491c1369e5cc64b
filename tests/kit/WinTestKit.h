// The Windows tests' kit: a scratch registry, bounded message pumping, plain
// windows, child programs with exact lines.
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

// A plain visible top-level window, to parent a preview or own a dialog.
HWND CreatePlainWindow(int width, int height);

// Starts `program` with exactly `commandLine`; then waits for it, pumping meanwhile: its exit
// code, or -2 (after ending it) past the deadline, -3 if it never started.  onWindow is called
// once with the child's first visible top-level window.
PROCESS_INFORMATION StartProgram(const char* program, const char* commandLine);
int FinishProgram(PROCESS_INFORMATION child, DWORD deadlineMs,
                  void (*onWindow)(HWND window) = nullptr);
HWND VisibleWindowOf(DWORD process);  // a visible top-level window of the process, or null
