// The built quillara.scr started with exact command lines: the window it shows, who owns that
// window, and the exit code; and the handle readers.  With HOLD_HOOK: a hook DLL, below.
#include <windows.h>

#include <cstring>

// A global hook, loaded into each process that makes a window: in one started with QUILLARA_HOLD,
// the saver window's creation waits, before the window has its title, until the test says go.
extern "C" __declspec(dllexport) LRESULT CALLBACK HoldSaverWindow(int code, WPARAM w, LPARAM l) {
  char name[32];
  if (code == HCBT_CREATEWND && GetEnvironmentVariableA("QUILLARA_HOLD", name, sizeof name) &&
      GetClassNameA(reinterpret_cast<HWND>(w), name, sizeof name) &&
      std::strcmp(name, "WindowsScreenSaverClass") == 0) {
    SetEnvironmentVariableA("QUILLARA_HOLD", nullptr);
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, "QuillaraTestHeld"));
    WaitForSingleObject(OpenEventA(SYNCHRONIZE, FALSE, "QuillaraTestGo"), 30000);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

#if !defined(HOLD_HOOK)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "host/StartUp.h"
#include "tests/kit/WinTestKit.h"

namespace {

const char Scr[] = "Z:" QUILLARA_SCR_PATH;
HWND Host, Front, Gone;  // Host: a preview's parent; Front: the foreground window
struct { char windowClass[32]; HWND owner; int previewTicks; } Seen;  // in the row's run

// clang-format off
enum Shows { Unowned, OwnedByHost, OwnedByFront, FullScreen, Preview, Nothing };
struct Row { const char* line; HWND* window; Shows shows; int exitCode; };  // %s: *window's value
const Row Rows[] = {
    {"quillara.scr", nullptr, Unowned, 0}, {"quillara.scr   ", nullptr, Unowned, 1},
    {"\"C:\\Saver Dir\\quillara.scr /s", nullptr, Unowned, 0},  // no closing quote: all name
    {"quillara.scr /c:%s", &Host, OwnedByHost, 0}, {"quillara.scr /C %s", &Host, OwnedByFront, 0},
    {"quillara.scr /c", nullptr, OwnedByFront, 0},
    {"quillara.scr /s", nullptr, FullScreen, 0}, {"quillara.scr -s", nullptr, FullScreen, 0},
    {"quillara.scr s", nullptr, FullScreen, 0}, {"quillara.scr /S", nullptr, FullScreen, 0},
    {"quillara.scr //s", nullptr, FullScreen, 0}, {"quillara.scr -/s", nullptr, FullScreen, 0},
    {"quillara.scr / s", nullptr, FullScreen, 0}, {"quillara.scr \t  \t/s", nullptr, FullScreen, 0},
    {"quillara.scr /s /p 12 more", nullptr, FullScreen, 0},
    {"quillara.scr /p %s", &Host, Preview, 0}, {"quillara.scr /P%s", &Host, Preview, 0},
    {"quillara.scr /p   %s", &Host, Preview, 0}, {"quillara.scr /l %s", &Host, Preview, 0},
    {"\"C:\\Saver Dir\\quillara saver.scr\" /p %s", &Host, Preview, 0},
    {"quillara.scr /p %s", &Gone, Nothing, -1}, {"quillara.scr /p 0", nullptr, Nothing, -1},
    {"quillara.scr /p", nullptr, Nothing, -1}, {"quillara.scr /p:%s", &Host, Nothing, -1},
    {"quillara.scr /p\t%s", &Host, Nothing, -1}, {"quillara.scr /a 1234", nullptr, Nothing, -1},
    {"quillara.scr /x", nullptr, Nothing, -1}, {"quillara.scr /1", nullptr, Nothing, -1},
    {"quillara.scr /\ts", nullptr, Nothing, -1}, {"quillara.scr /\xE9s", nullptr, Nothing, -1},
    {"quillara.scr \xFF/s", nullptr, Nothing, -1}};
const struct { const char* text; uint32_t value; LONG_PTR handle; } Handles[] = {
    {"1234", 1234, 1234}, {"42949674194", 1234, 1234}, {"4294968530 7", 1234, 1234},
    {"12x", 12, 12}, {"+12", 0, 0}, {" 12", 0, 0}, {"2147483649", 0x80000001u, -2147483647},
    {"4294967295", 0xFFFFFFFFu, -1}};
// clang-format on
const Row* Running;

// The child's first top-level window: OK or Cancel for the dialog, a key for the saver.
void OnWindow(HWND window) {
  GetClassNameA(window, Seen.windowClass, sizeof Seen.windowClass);
  Seen.owner = GetWindow(window, GW_OWNER);
  if (Running->shows == FullScreen) PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  HWND button = GetDlgItem(window, Running->exitCode == 1 ? IDOK : IDCANCEL);
  if (button != nullptr) PostMessageA(button, BM_CLICK, 0, 0);
}

// A preview is a child of Host, and ends when Host is closed; not at once,
// for a preview whose parent goes while it is being made ends with -1.
void CALLBACK FindPreview(HWND, UINT, UINT_PTR, DWORD) {
  if (Host == nullptr) return;
  HWND preview = FindWindowExA(Host, nullptr, "WindowsScreenSaverClass", nullptr);
  if (!IsWindowVisible(preview) || ++Seen.previewTicks < 5) return;
  DestroyWindow(Host);
  Host = nullptr;
}

}  // namespace

TEST(CommandLine, EachLineShowsItsWindowAndEndsWithItsCode) {
  const bool hadKey = KeyExists("Software\\Quillara");  // OK stores the settings
  Front = CreatePlainWindow(200, 100);
  Gone = CreatePlainWindow(200, 100);
  DestroyWindow(Gone);
  SetTimer(nullptr, 0, 20, FindPreview);
  for (const Row& row : Rows) {
    if (Host == nullptr) Host = CreatePlainWindow(200, 150);
    PumpFor(150);  // activations from the last child's windows arrive first
    SetForegroundWindow(Front);
    PumpFor(50);
    const std::string value = row.window ? std::to_string(HandleToUlong(*row.window)) : "";
    char line[128];
    std::snprintf(line, sizeof line, row.line, value.c_str());
    SCOPED_TRACE(line);
    Running = &row;
    Seen = {};
    EXPECT_EQ(row.exitCode, FinishProgram(StartProgram(Scr, line), 30000, OnWindow));
    const char* const classes[] = {"#32770", "#32770", "#32770", "WindowsScreenSaverClass", "", ""};
    EXPECT_STREQ(classes[row.shows], Seen.windowClass);
    const HWND owners[] = {nullptr, Host, Front, nullptr, nullptr, nullptr};
    EXPECT_EQ(owners[row.shows], Seen.owner);
    EXPECT_EQ(row.shows == Preview, Seen.previewTicks == 5);
  }
  if (!hadKey) RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quillara");
}

// A second full-screen start at three moments of the first's start-up: at once, while the first
// makes its window (held there by a hook, before the window has its title), and once it shows.
// One of them gives way, ending with 0 and never showing a window; the other runs alone, in front.
TEST(CommandLine, ASecondFullScreenStartAtAnyMomentGivesWayAndOneSaverRunsAloneInFront) {
  enum Moment { AtOnce, WhileMakingItsWindow, OnceShown };
  HMODULE hold = LoadLibraryA("Z:" HOLD_DLL);
  HHOOK hook = SetWindowsHookExA(
      WH_CBT, reinterpret_cast<HOOKPROC>(GetProcAddress(hold, "HoldSaverWindow")), hold, 0);
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, "QuillaraTestHeld"),
         go = CreateEventA(nullptr, TRUE, FALSE, "QuillaraTestGo");
  ASSERT_TRUE(hook && held && go);
  for (Moment moment : {AtOnce, WhileMakingItsWindow, OnceShown}) {
    SCOPED_TRACE(moment);
    ResetEvent(held), ResetEvent(go);
    SetEnvironmentVariableA("QUILLARA_HOLD", moment == WhileMakingItsWindow ? "1" : nullptr);
    const DWORD started = GetTickCount();
    PROCESS_INFORMATION starts[2] = {StartProgram(Scr, "quillara.scr /s")};
    SetEnvironmentVariableA("QUILLARA_HOLD", nullptr);
    if (moment == WhileMakingItsWindow) EXPECT_EQ(WaitForSingleObject(held, 20000), WAIT_OBJECT_0);
    while (moment == OnceShown && !VisibleWindowOf(starts[0].dwProcessId) &&
           GetTickCount() - started < 20000)
      PumpFor(10);
    // Held, the first shows nothing to wait for: the second gets twice the time the first took
    // to get there to make a window of its own, then the first goes on.
    const DWORD chance = std::min(2 * (GetTickCount() - started) + 500, 10000ul);
    starts[1] = StartProgram(Scr, "quillara.scr /s");
    bool shown[2] = {false, false};
    int gaveWay = -1;
    for (DWORD t = GetTickCount(); gaveWay < 0 && GetTickCount() - t < 20000; PumpFor(20)) {
      if (GetTickCount() - t >= chance) SetEvent(go);
      for (int i = 0; i < 2; ++i) {
        shown[i] |= VisibleWindowOf(starts[i].dwProcessId) != nullptr;
        if (WaitForSingleObject(starts[i].hProcess, 0) == WAIT_OBJECT_0) gaveWay = i;
      }
    }
    SetEvent(go);
    EXPECT_TRUE(gaveWay == 1 || (moment == AtOnce && gaveWay == 0));  // at once, either is first
    const int runs = gaveWay == 0 ? 1 : 0;
    EXPECT_FALSE(shown[1 - runs]);
    EXPECT_EQ(FinishProgram(starts[1 - runs], 0), 0);
    HWND window = nullptr;
    for (int i = 0; i < 500 && (!(window = VisibleWindowOf(starts[runs].dwProcessId)) ||
                                GetForegroundWindow() != window); ++i)
      PumpFor(20);
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_TRUE(FindWindowA("WindowsScreenSaverClass", nullptr) == window &&  // the one saver
                !FindWindowExA(nullptr, window, "WindowsScreenSaverClass", nullptr));
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(FinishProgram(starts[runs], 30000), 0);
  }
  UnhookWindowsHookEx(hook);
}

TEST(CommandLine, HandlesWrapModuloTwoToThe32AndBit31IsSignExtended) {
  for (const auto& c : Handles) {
    EXPECT_EQ(c.value, ParseWindowHandle(c.text)) << c.text;
    EXPECT_EQ(reinterpret_cast<HWND>(c.handle), WindowFromValue(c.value)) << c.text;
  }
}
#endif
