#include "tests/host/EventLog.h"

#include "tests/host/ImportHook.h"

#include <cstdio>
#include <cstring>
#include <string>

HWND WatchedWindow = nullptr;
bool RecordingOn = true;

namespace {

struct Recorded {
  Event event;
  char text[96];
};

const size_t Capacity = 512;
Recorded Log[Capacity];
size_t LogSize = 0;

bool Watches(HWND window) {
  return RecordingOn && (WatchedWindow == nullptr || window == WatchedWindow);
}

const char* KindName(EventKind kind) {
  switch (kind) {
    case Received:
      return "received";
    case ReachedDefault:
      return "DefWindowProcA";
    case Posted:
      return "posted";
    case CursorHidden:
      return "SetCursor(NULL)";
    case SystemCall:
      return "call";
  }
  return "?";
}

std::string Describe(const Event& e) {
  char line[200];
  if (e.kind == SystemCall)
    std::snprintf(line, sizeof line, "call %s (%u, %llu)", e.text ? e.text : "", e.message,
                  static_cast<unsigned long long>(e.wParam));
  else if (e.kind == CursorHidden)
    std::snprintf(line, sizeof line, "%s", KindName(e.kind));
  else
    std::snprintf(line, sizeof line, "%s 0x%04x wParam %llu%s", KindName(e.kind), e.message,
                  static_cast<unsigned long long>(e.wParam), (e.flags & AnyWParam) ? " (any)" : "");
  std::string s = line;
  if (e.flags & Optional) s += " (optional)";
  return s;
}

std::string DescribeList(const Event* events, size_t count, bool recorded) {
  std::string s;
  for (size_t i = 0; i < count; ++i) {
    const Event& e = recorded ? Log[i].event : events[i];
    s += "    " + Describe(e) + "\n";
  }
  if (count == 0) s += "    (nothing)\n";
  return s;
}

bool Same(const Event& expected, const Event& got) {
  if (expected.kind != got.kind || expected.message != got.message) return false;
  if (!(expected.flags & AnyWParam) && expected.wParam != got.wParam) return false;
  if (expected.kind == SystemCall)
    return got.text != nullptr && expected.text != nullptr &&
           std::strcmp(expected.text, got.text) == 0;
  return true;
}

// --- hooks -----------------------------------------------------------------

decltype(&DefWindowProcA) RealDefWindowProcA;
decltype(&SetCursor) RealSetCursor;
decltype(&LoadLibraryA) RealLoadLibraryA;
decltype(&FreeLibrary) RealFreeLibrary;
decltype(&RegOpenKeyA) RealRegOpenKeyA;
decltype(&RegQueryValueExA) RealRegQueryValueExA;
decltype(&RegCloseKey) RealRegCloseKey;
decltype(&SetForegroundWindow) RealSetForegroundWindow;
decltype(&SwapBuffers) RealSwapBuffers;

typedef HIMC(WINAPI* ImmAssociateContextFunction)(HWND, HIMC);
ImmAssociateContextFunction RealImmAssociateContext;

HIMC WINAPI HookImmAssociateContext(HWND window, HIMC context) {
  if (RecordingOn)
    RecordEvent(SystemCall, context != nullptr ? 1 : 0, reinterpret_cast<WPARAM>(window),
                "ImmAssociateContext");
  return RealImmAssociateContext(window, context);
}

BOOL WINAPI HookSetForegroundWindow(HWND window) {
  if (RecordingOn)
    RecordEvent(SystemCall, 0, reinterpret_cast<WPARAM>(window), "SetForegroundWindow");
  return RealSetForegroundWindow(window);
}

decltype(&GetModuleHandleA) RealGetModuleHandleA;

HMODULE WINAPI HookGetModuleHandleA(LPCSTR name) {
  if (HideInputMethodLibrary && name != nullptr && lstrcmpiA(name, "IMM32.DLL") == 0)
    return nullptr;
  return RealGetModuleHandleA(name);
}

bool IsSaverWindow(HWND window) {
  char name[64];
  return window != nullptr && GetClassNameA(window, name, sizeof name) > 0 &&
         std::strcmp(name, "WindowsScreenSaverClass") == 0;
}

bool IsQuietMessage(UINT message) {
  switch (message) {
    case WM_GETICON:
    case WM_GETOBJECT:
    case WM_NCHITTEST:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_TIMER:
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      return true;
  }
  return false;
}

LRESULT CALLBACK SentMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && RecordingOn && !IsQuietMessage(sent->message) &&
      IsSaverWindow(sent->hwnd))
    RecordEvent(Received, sent->message, sent->wParam);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK PostedMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* posted = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && RecordingOn && !IsQuietMessage(posted->message) &&
      IsSaverWindow(posted->hwnd))
    RecordEvent(Received, posted->message, posted->wParam);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI HookSwapBuffers(HDC deviceContext) {
  InterlockedIncrement(&FramesSwapped);
  return RealSwapBuffers(deviceContext);
}

LRESULT WINAPI HookDefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Watches(window)) RecordEvent(ReachedDefault, message, wParam);
  return RealDefWindowProcA(window, message, wParam, lParam);
}

BOOL WINAPI HookPostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Watches(window)) RecordEvent(Posted, message, wParam);
  return RealPostMessageA(window, message, wParam, lParam);
}

HCURSOR WINAPI HookSetCursor(HCURSOR cursor) {
  if (RecordingOn && cursor == nullptr) RecordEvent(CursorHidden, 0, 0);
  return RealSetCursor(cursor);
}

BOOL WINAPI HookSystemParametersInfoA(UINT action, UINT param, PVOID data, UINT winIni) {
  if (RecordingOn) {
    // The third value records whether a cell for the previous state was
    // given (1) and the profile flags (times 2).
    char text[64];
    std::snprintf(text, sizeof text, "SystemParametersInfoA:%s,%u", data ? "cell" : "null", winIni);
    RecordEvent(SystemCall, action, param, text);
  }
  return RealSystemParametersInfoA(action, param, data, winIni);
}

HMODULE WINAPI HookLoadLibraryA(LPCSTR name) {
  if (RecordingOn) {
    std::string text = std::string("LoadLibraryA:") + (name ? name : "");
    RecordEvent(SystemCall, 0, 0, text.c_str());
  }
  return RealLoadLibraryA(name);
}

BOOL WINAPI HookFreeLibrary(HMODULE module) {
  if (RecordingOn) RecordEvent(SystemCall, 0, 0, "FreeLibrary");
  return RealFreeLibrary(module);
}

FARPROC WINAPI HookGetProcAddress(HMODULE module, LPCSTR name) {
  if (RecordingOn && reinterpret_cast<ULONG_PTR>(name) > 0xFFFF) {
    std::string text = std::string("GetProcAddress:") + name;
    RecordEvent(SystemCall, 0, 0, text.c_str());
  }
  FARPROC found = RealGetProcAddress(module, name);
  if (found != nullptr && reinterpret_cast<ULONG_PTR>(name) > 0xFFFF &&
      std::strcmp(name, "ImmAssociateContext") == 0) {
    RealImmAssociateContext =
        reinterpret_cast<ImmAssociateContextFunction>(reinterpret_cast<void*>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&HookImmAssociateContext));
  }
  return found;
}

LONG WINAPI HookRegOpenKeyA(HKEY root, LPCSTR path, PHKEY key) {
  if (RecordingOn) {
    std::string text = std::string("RegOpenKeyA:") + (path ? path : "");
    RecordEvent(SystemCall, root == HKEY_CURRENT_USER ? 1 : 0, 0, text.c_str());
  }
  return RealRegOpenKeyA(root, path, key);
}

LONG WINAPI HookRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                 LPDWORD size) {
  if (RecordingOn) {
    std::string text = std::string("RegQueryValueExA:") + (name ? name : "");
    RecordEvent(SystemCall, size ? *size : 0, type ? 1 : 0, text.c_str());
  }
  return RealRegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI HookRegCloseKey(HKEY key) {
  if (RecordingOn) RecordEvent(SystemCall, 0, 0, "RegCloseKey");
  return RealRegCloseKey(key);
}

template <typename F>
void Hook(const char* library, const char* name, F replacement, F* original) {
  void* previous = HookImport(library, name, reinterpret_cast<void*>(replacement));
  if (previous == nullptr) {
    // Not imported by this executable: nothing to record, keep the real one.
    previous = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name));
  }
  *original = reinterpret_cast<F>(previous);
}

}  // namespace

volatile long FramesSwapped = 0;
bool HideInputMethodLibrary = false;
decltype(&PostMessageA) RealPostMessageA = PostMessageA;
decltype(&SystemParametersInfoA) RealSystemParametersInfoA = SystemParametersInfoA;
decltype(&GetProcAddress) RealGetProcAddress = GetProcAddress;

void ClearEvents() { LogSize = 0; }

void RecordEvent(EventKind kind, UINT message, WPARAM wParam, const char* text) {
  if (LogSize == Capacity) return;
  Recorded& r = Log[LogSize++];
  r.event = Event{kind, message, wParam, nullptr, 0};
  if (text != nullptr) {
    std::snprintf(r.text, sizeof r.text, "%s", text);
    r.event.text = r.text;
  }
}

size_t EventCount() { return LogSize; }

const Event& EventAt(size_t index) { return Log[index].event; }

size_t CountEvents(EventKind kind, UINT message) {
  size_t n = 0;
  for (size_t i = 0; i < LogSize; ++i)
    if (Log[i].event.kind == kind && Log[i].event.message == message) ++n;
  return n;
}

::testing::AssertionResult MatchesSequence(const Event* expected, size_t count) {
  size_t e = 0, g = 0;
  bool ok = true;
  while (e < count && g < LogSize) {
    if (Same(expected[e], Log[g].event)) {
      ++e;
      ++g;
    } else if (expected[e].flags & Optional) {
      ++e;
    } else {
      ok = false;
      break;
    }
  }
  while (ok && e < count && (expected[e].flags & Optional)) ++e;
  if (ok && e == count && g == LogSize) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "sequence differs at expected #" << e << ", recorded #" << g << "\n  expected:\n"
         << DescribeList(expected, count, false) << "  recorded:\n"
         << DescribeList(nullptr, LogSize, true);
}

void InstallRecordingHooks() {
  Hook("user32.dll", "DefWindowProcA", &HookDefWindowProcA, &RealDefWindowProcA);
  Hook("user32.dll", "PostMessageA", &HookPostMessageA, &RealPostMessageA);
  Hook("user32.dll", "SetCursor", &HookSetCursor, &RealSetCursor);
  Hook("user32.dll", "SystemParametersInfoA", &HookSystemParametersInfoA,
       &RealSystemParametersInfoA);
  Hook("kernel32.dll", "LoadLibraryA", &HookLoadLibraryA, &RealLoadLibraryA);
  Hook("kernel32.dll", "FreeLibrary", &HookFreeLibrary, &RealFreeLibrary);
  Hook("kernel32.dll", "GetProcAddress", &HookGetProcAddress, &RealGetProcAddress);
  Hook("advapi32.dll", "RegOpenKeyA", &HookRegOpenKeyA, &RealRegOpenKeyA);
  Hook("advapi32.dll", "RegQueryValueExA", &HookRegQueryValueExA, &RealRegQueryValueExA);
  Hook("advapi32.dll", "RegCloseKey", &HookRegCloseKey, &RealRegCloseKey);
  Hook("user32.dll", "SetForegroundWindow", &HookSetForegroundWindow, &RealSetForegroundWindow);
  Hook("gdi32.dll", "SwapBuffers", &HookSwapBuffers, &RealSwapBuffers);
  Hook("kernel32.dll", "GetModuleHandleA", &HookGetModuleHandleA, &RealGetModuleHandleA);
}

void PrintEvents(const char* title) {
  std::printf("%s:\n%s", title, DescribeList(nullptr, LogSize, true).c_str());
}

void RecordSaverWindowMessages() {
  SetWindowsHookExA(WH_CALLWNDPROC, SentMessageHook, nullptr, GetCurrentThreadId());
  SetWindowsHookExA(WH_GETMESSAGE, PostedMessageHook, nullptr, GetCurrentThreadId());
}
