// Recording of what the host does, in the manner of an expected message
// sequence: messages that reach the test window, messages that fall to
// DefWindowProcA, messages posted, the cursor hidden, and the system calls of
// the password support.  Expected sequences are constant tables; a mismatch
// prints both lists.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>

enum EventKind {
  Received,        // the window procedure was entered with the message
  ReachedDefault,  // DefWindowProcA was called with it
  Posted,          // PostMessageA
  CursorHidden,    // SetCursor(NULL)
  SystemCall,      // a hooked system function; name and argument in text/wParam
};

enum EventFlags : unsigned {
  AnyWParam = 1,  // wParam is not compared
  Optional = 2,   // may be missing from the recorded list
};

struct Event {
  EventKind kind;
  UINT message;      // message number, or for SystemCall a numeric argument
  WPARAM wParam;     // wParam, or a second numeric argument
  const char* text;  // SystemCall: function name (and a string argument after a ':')
  unsigned flags;
};

// The window whose messages are recorded; null records every window.
extern HWND WatchedWindow;
extern bool RecordingOn;

void ClearEvents();
void RecordEvent(EventKind kind, UINT message, WPARAM wParam, const char* text = nullptr);
size_t EventCount();
const Event& EventAt(size_t index);

::testing::AssertionResult MatchesSequence(const Event* expected, size_t count);
template <size_t N>
::testing::AssertionResult MatchesSequence(const Event (&expected)[N]) {
  return MatchesSequence(expected, N);
}
inline ::testing::AssertionResult MatchesNothing() { return MatchesSequence(nullptr, 0); }

// Counts recorded events of one kind and message.
size_t CountEvents(EventKind kind, UINT message);

// Hooks DefWindowProcA, PostMessageA, SetCursor, SetForegroundWindow,
// SystemParametersInfoA, SwapBuffers and the library and registry calls of
// the host in the test executable.  "ImmAssociateContext" looked up through
// GetProcAddress is handed out wrapped, so its calls are recorded too (the
// window in wParam, message 1 for a non-null context).
void InstallRecordingHooks();

// Frames shown: calls of SwapBuffers made by the code under test.
extern volatile long FramesSwapped;

// Prints the recorded list (for diagnosis).
void PrintEvents(const char* title);

// Records, as Received, every message that the saver window (class
// "WindowsScreenSaverClass") gets: sent ones through a WH_CALLWNDPROC hook,
// posted ones as the loop retrieves them through a WH_GETMESSAGE hook.
void RecordSaverWindowMessages();

// When set, GetModuleHandleA("IMM32.DLL") made by the host answers null, as
// in a process into which nothing loaded the input-method library.
extern bool HideInputMethodLibrary;

// The real functions, for the test's own use (not recorded).
extern decltype(&PostMessageA) RealPostMessageA;
extern decltype(&SystemParametersInfoA) RealSystemParametersInfoA;
extern decltype(&GetProcAddress) RealGetProcAddress;
