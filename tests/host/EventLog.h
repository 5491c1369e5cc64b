// Recording of what the host does, in the manner of an expected message
// sequence: messages that reach a window, messages that fall to
// DefWindowProcA, messages posted, the cursor hidden, and the system calls of
// the host.  Expected sequences are constant tables; a mismatch prints both
// lists.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>

enum EventKind {
  Received,        // the window procedure was entered with the message
  ReachedDefault,  // DefWindowProcA was called with it
  Posted,          // PostMessageA
  CursorHidden,    // SetCursor(NULL)
  SystemCall,      // a hooked system function: name (and string argument after ':') in text
};

struct Event {
  EventKind kind;
  UINT message;      // message number, or for SystemCall a numeric argument
  WPARAM wParam;     // wParam, or a second numeric argument
  const char* text;  // SystemCall only
};

// The window whose messages are recorded; null records every window.
extern HWND WatchedWindow;
extern bool RecordingOn;

void ClearEvents();
void RecordEvent(EventKind kind, UINT message, WPARAM wParam, const char* text = nullptr);
size_t EventCount();
const Event& EventAt(size_t index);
size_t CountEvents(EventKind kind, UINT message);
// Index of the first system call whose text starts with `name`, or EventCount().
size_t FindCall(const char* name);
size_t CountCalls(const char* name);

// The recorded list equals `expected`; with `prefixOnly`, it begins with it.
::testing::AssertionResult MatchesSequence(const Event* expected, size_t count,
                                           bool prefixOnly = false);
template <size_t N>
::testing::AssertionResult MatchesSequence(const Event (&expected)[N], bool prefixOnly = false) {
  return MatchesSequence(expected, N, prefixOnly);
}

// Hooks DefWindowProcA, PostMessageA, SetCursor, SetForegroundWindow,
// SystemParametersInfoA, SwapBuffers, GetModuleHandleA and the library and
// registry calls of the host in the test executable.  "ImmAssociateContext"
// looked up through GetProcAddress is handed out wrapped, so its calls are
// recorded too (the window in wParam, message 1 for a non-null context).
void InstallRecordingHooks();

// Messages the platform sends on its own that no test cares about.
bool IsQuietMessage(UINT message);

// Frames shown: calls of SwapBuffers made by the code under test.
extern volatile long FramesSwapped;

// When set, GetModuleHandleA("IMM32.DLL") made by the host answers null, as
// in a process into which nothing loaded the input-method library.
extern bool HideInputMethodLibrary;

// The real functions, for the test's own use (not recorded).
extern decltype(&PostMessageA) RealPostMessageA;
extern decltype(&GetProcAddress) RealGetProcAddress;
