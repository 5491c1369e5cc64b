#include "tests/host/EventLog.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/host/ImportHook.h"

HWND WatchedWindow = nullptr;
bool RecordingOn = true;
volatile long FramesSwapped = 0;
bool HideInputMethodLibrary = false;
decltype(&PostMessageA) RealPostMessageA = PostMessageA;
decltype(&GetProcAddress) RealGetProcAddress = GetProcAddress;

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

std::string Describe(const Event& e) {
  static const char* const kinds[] = {"received", "DefWindowProcA", "posted", "SetCursor(NULL)",
                                      "call"};
  char line[200];
  if (e.kind == SystemCall)
    std::snprintf(line, sizeof line, "call %s (%u, %llu)", e.text ? e.text : "", e.message,
                  static_cast<unsigned long long>(e.wParam));
  else
    std::snprintf(line, sizeof line, "%s 0x%04x wParam %llu", kinds[e.kind], e.message,
                  static_cast<unsigned long long>(e.wParam));
  return line;
}

std::string DescribeList(const Event* events, size_t count) {
  std::string s;
  for (size_t i = 0; i < count; ++i) s += "    " + Describe(events ? events[i] : Log[i].event) + "\n";
  return count == 0 ? "    (nothing)\n" : s;
}

bool Same(const Event& expected, const Event& got) {
  if (expected.kind != got.kind || expected.message != got.message ||
      expected.wParam != got.wParam)
    return false;
  return expected.kind != SystemCall || std::strcmp(expected.text, got.text) == 0;
}

// --- hooks -----------------------------------------------------------------

decltype(&DefWindowProcA) RealDefWindowProcA;
decltype(&SetCursor) RealSetCursor;
decltype(&SystemParametersInfoA) RealSystemParametersInfoA;
decltype(&LoadLibraryA) RealLoadLibraryA;
decltype(&FreeLibrary) RealFreeLibrary;
decltype(&RegOpenKeyA) RealRegOpenKeyA;
decltype(&RegQueryValueExA) RealRegQueryValueExA;
decltype(&RegCloseKey) RealRegCloseKey;
decltype(&SetForegroundWindow) RealSetForegroundWindow;
decltype(&SwapBuffers) RealSwapBuffers;
decltype(&GetModuleHandleA) RealGetModuleHandleA;
typedef HIMC(WINAPI* ImmAssociateContextFunction)(HWND, HIMC);
ImmAssociateContextFunction RealImmAssociateContext;

void RecordCall(const char* name, const char* argument, UINT first = 0, WPARAM second = 0) {
  if (!RecordingOn) return;
  const std::string text = argument ? std::string(name) + ":" + argument : std::string(name);
  RecordEvent(SystemCall, first, second, text.c_str());
}

HIMC WINAPI HookImmAssociateContext(HWND window, HIMC context) {
  RecordCall("ImmAssociateContext", nullptr, context != nullptr, WPARAM(window));
  return RealImmAssociateContext(window, context);
}

BOOL WINAPI HookSetForegroundWindow(HWND window) {
  RecordCall("SetForegroundWindow", nullptr, 0, WPARAM(window));
  return RealSetForegroundWindow(window);
}

HMODULE WINAPI HookGetModuleHandleA(LPCSTR name) {
  if (HideInputMethodLibrary && name != nullptr && lstrcmpiA(name, "IMM32.DLL") == 0)
    return nullptr;
  return RealGetModuleHandleA(name);
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

// The text tells whether a cell for the previous state was given, and the
// profile flags.
BOOL WINAPI HookSystemParametersInfoA(UINT action, UINT param, PVOID data, UINT winIni) {
  char text[32];
  std::snprintf(text, sizeof text, "%s,%u", data ? "cell" : "null", winIni);
  RecordCall("SystemParametersInfoA", text, action, param);
  return RealSystemParametersInfoA(action, param, data, winIni);
}

HMODULE WINAPI HookLoadLibraryA(LPCSTR name) {
  RecordCall("LoadLibraryA", name ? name : "");
  return RealLoadLibraryA(name);
}

BOOL WINAPI HookFreeLibrary(HMODULE module) {
  RecordCall("FreeLibrary", nullptr);
  return RealFreeLibrary(module);
}

FARPROC WINAPI HookGetProcAddress(HMODULE module, LPCSTR name) {
  const bool byName = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
  if (byName) RecordCall("GetProcAddress", name);
  FARPROC found = RealGetProcAddress(module, name);
  if (found != nullptr && byName && std::strcmp(name, "ImmAssociateContext") == 0) {
    RealImmAssociateContext = reinterpret_cast<ImmAssociateContextFunction>(
        reinterpret_cast<void*>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&HookImmAssociateContext));
  }
  return found;
}

LONG WINAPI HookRegOpenKeyA(HKEY root, LPCSTR path, PHKEY key) {
  RecordCall("RegOpenKeyA", path ? path : "", root == HKEY_CURRENT_USER);
  return RealRegOpenKeyA(root, path, key);
}

LONG WINAPI HookRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                 LPDWORD size) {
  RecordCall("RegQueryValueExA", name ? name : "", size ? *size : 0, type != nullptr);
  return RealRegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI HookRegCloseKey(HKEY key) {
  RecordCall("RegCloseKey", nullptr);
  return RealRegCloseKey(key);
}

template <typename F>
void Hook(const char* library, const char* name, F replacement, F* original) {
  void* previous = HookImport(library, name, reinterpret_cast<void*>(replacement));
  // Not imported by this executable: nothing to record, keep the real one.
  if (previous == nullptr)
    previous = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(library), name));
  *original = reinterpret_cast<F>(previous);
}

}  // namespace

bool IsQuietMessage(UINT message) {
  switch (message) {
    case WM_GETICON: case WM_GETOBJECT: case WM_GETMINMAXINFO: case WM_NCHITTEST:
    case WM_GETTEXT: case WM_GETTEXTLENGTH: case WM_IME_SETCONTEXT: case WM_IME_NOTIFY:
    case WM_TIMER: case WM_PAINT: case WM_ERASEBKGND: case WM_NCPAINT:
    case 0x0093: case 0x0094: case 0x0095: case 0x0096:  // themed menu bar (UAH)
      return true;
  }
  return false;
}

void ClearEvents() { LogSize = 0; }

void RecordEvent(EventKind kind, UINT message, WPARAM wParam, const char* text) {
  if (LogSize == Capacity) return;
  Recorded& r = Log[LogSize++];
  r.event = Event{kind, message, wParam, nullptr};
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
    n += Log[i].event.kind == kind && Log[i].event.message == message;
  return n;
}

static bool IsCall(size_t i, const char* name) {
  return Log[i].event.kind == SystemCall && std::strncmp(Log[i].text, name, strlen(name)) == 0;
}

size_t FindCall(const char* name) {
  size_t i = 0;
  while (i < LogSize && !IsCall(i, name)) ++i;
  return i;
}

size_t CountCalls(const char* name) {
  size_t n = 0;
  for (size_t i = 0; i < LogSize; ++i) n += IsCall(i, name);
  return n;
}

::testing::AssertionResult MatchesSequence(const Event* expected, size_t count, bool prefixOnly) {
  size_t same = 0;
  while (same < count && same < LogSize && Same(expected[same], Log[same].event)) ++same;
  if (same == count && (prefixOnly || same == LogSize)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "sequence differs at #" << same << (prefixOnly ? " (prefix)" : "")
         << "\n  expected:\n" << DescribeList(expected, count) << "  recorded:\n"
         << DescribeList(nullptr, LogSize);
}

void InstallRecordingHooks() {
  Hook("user32.dll", "DefWindowProcA", &HookDefWindowProcA, &RealDefWindowProcA);
  Hook("user32.dll", "PostMessageA", &HookPostMessageA, &RealPostMessageA);
  Hook("user32.dll", "SetCursor", &HookSetCursor, &RealSetCursor);
  Hook("user32.dll", "SystemParametersInfoA", &HookSystemParametersInfoA,
       &RealSystemParametersInfoA);
  Hook("user32.dll", "SetForegroundWindow", &HookSetForegroundWindow, &RealSetForegroundWindow);
  Hook("kernel32.dll", "LoadLibraryA", &HookLoadLibraryA, &RealLoadLibraryA);
  Hook("kernel32.dll", "FreeLibrary", &HookFreeLibrary, &RealFreeLibrary);
  Hook("kernel32.dll", "GetProcAddress", &HookGetProcAddress, &RealGetProcAddress);
  Hook("kernel32.dll", "GetModuleHandleA", &HookGetModuleHandleA, &RealGetModuleHandleA);
  Hook("advapi32.dll", "RegOpenKeyA", &HookRegOpenKeyA, &RealRegOpenKeyA);
  Hook("advapi32.dll", "RegQueryValueExA", &HookRegQueryValueExA, &RealRegQueryValueExA);
  Hook("advapi32.dll", "RegCloseKey", &HookRegCloseKey, &RealRegCloseKey);
  Hook("gdi32.dll", "SwapBuffers", &HookSwapBuffers, &RealSwapBuffers);
}
