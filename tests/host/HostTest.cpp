// The saver window run by RunSaver with the saver procedure and a pinned clock,
// and the Windows 9x password support with the "PASSWORD.CPL" stand-in.  Each
// close trigger's WM_CLOSE is taken back out of the queue.
#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "host/SaverWindow.h"
#include "render/SaverProc.h"
#include "render/scene/Scene.h"
#include "sim/Clock.h"
#include "sim/Universe.h"
#include "tests/kit/WinTestKit.h"

namespace {

// The closes each message posts in full screen (a preview never closes; the command keys come
// in CheckFrames); the first move finds the cursor where it was when the window came up.
const struct Trigger { UINT message; WPARAM wParam; int closes; } Triggers[] = {
    {WM_MOUSEMOVE, 0, 0},     {WM_KEYDOWN, 'A', 1},     {WM_SYSKEYDOWN, 'B', 1},
    {WM_LBUTTONDOWN, 0, 1},   {WM_RBUTTONDOWN, 0, 1},   {WM_MBUTTONDOWN, 0, 1},
    {WM_LBUTTONUP, 0, 0},     {WM_RBUTTONUP, 0, 0},     {WM_MBUTTONUP, 0, 0},
    {WM_LBUTTONDBLCLK, 0, 0}, {WM_RBUTTONDBLCLK, 0, 0}, {WM_MBUTTONDBLCLK, 0, 0},
    {WM_MOUSEWHEEL, WHEEL_DELTA << 16, 0}, {WM_ACTIVATEAPP, 0, 1}, {WM_ACTIVATEAPP, 1, 0},
    {WM_POWER, 1, 0}, {WM_POWER, 2, 0}, {WM_POWER, 3, 1}, {WM_POWERBROADCAST, PBT_APMSUSPEND, 1}};
// The cursor moved to (640, 512) + dx, dy in turn; the anchor after, from (640, 512).
const struct Move { int dx, dy, closes; POINT anchor; } Moves[] = {
    {2, 0, 0, {0, 0}},  {4, 0, 0, {0, 0}}, {3, -1, 0, {0, 0}}, {-2, 2, 0, {0, 0}},
    {3, 2, 1, {3, 2}},  {7, 2, 0, {3, 2}}, {8, 2, 1, {8, 2}}};

int TakeQueued(HWND window, UINT message) {  // removes and counts those queued
  int count = 0;
  for (MSG msg; PeekMessageA(&msg, window, message, message, PM_REMOVE);) ++count;
  return count;
}

HWND Owner = nullptr;
WPARAM HelpFrom = 0;
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP) HelpFrom = wParam;
  return DefWindowProcA(window, message, wParam, lParam);
}

void CheckWindowAndTriggers() {
  const int preview = PreviewMode;
  EXPECT_EQ(GetClassLongA(SaverWindow, GCL_STYLE), 0x2Bu);
  EXPECT_EQ(HICON(GetClassLongPtrA(SaverWindow, GCLP_HICON)),
            LoadIconA(ModuleInstance, MAKEINTRESOURCEA(100)));
  EXPECT_EQ(GetWindowLongA(SaverWindow, GWL_STYLE), LONG(preview ? 0x52000000 : 0x96000000));
  EXPECT_EQ(GetWindowLongA(SaverWindow, GWL_EXSTYLE) & WS_EX_TOPMOST, preview ? 0 : WS_EX_TOPMOST);
  RECT area, expected = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (preview) GetClientRect(Owner, &expected);
  GetWindowRect(SaverWindow, &area);
  MapWindowPoints(nullptr, Owner, reinterpret_cast<POINT*>(&area), 2);
  EXPECT_TRUE(EqualRect(&area, &expected));
  char title[32];
  SendMessageA(SaverWindow, WM_SETTEXT, 0, LPARAM("Changed"));
  GetWindowTextA(SaverWindow, title, sizeof title);
  EXPECT_STREQ(title, preview ? "Preview" : "Screen Saver");
  EXPECT_EQ(ImmGetContext(SaverWindow), nullptr);  // no input method while it runs
  for (const Trigger& row : Triggers) {
    SendMessageA(SaverWindow, row.message, row.wParam, 0);
    EXPECT_EQ(TakeQueued(SaverWindow, WM_CLOSE), preview ? 0 : row.closes) << row.message;
  }
  for (const Move& row : Moves) {
    SetCursorPos(640 + row.dx, 512 + row.dy);
    SendMessageA(SaverWindow, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(TakeQueued(SaverWindow, WM_CLOSE), preview ? 0 : row.closes) << row.dx << row.dy;
    EXPECT_EQ(MouseAnchor.x - 640, preview ? 0 : row.anchor.x);
    EXPECT_EQ(MouseAnchor.y - 512, preview ? 0 : row.anchor.y);
  }
}

int32_t Now = 1000000000;
int32_t PinnedClock() { return Now; }

// RunSaver(parent) with step(tick) called every 20 ms inside its loop: its exit code; -2: the
// window destroyed by force after 8 s, -3: ended before its last step ran.
bool StepsDone = false;
void (*Step)(int tick);
int Tick;
DWORD Started;
void CALLBACK OnStepTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() - Started <= 8000) {
    if (Step != nullptr) Step(Tick++);
  } else if (Tick >= 0 && SaverWindow != nullptr) {
    Tick = -1;
    DestroyWindow(SaverWindow);
  }
}
int RunToEnd(HWND parent, void (*step)(int tick)) {
  ClockSource = PinnedClock;
  ModuleInstance = GetModuleHandleA(nullptr);
  SetCursorPos(640 + 37, 512 + 41);  // a fresh Wine process skips a warp to where it believes
  PumpFor(30);                       // the pointer already is: a detour forces a real one
  SetCursorPos(640, 512);
  POINT at = {};
  for (int i = 0; i < 50 && GetCursorPos(&at) && (at.x != 640 || at.y != 512); ++i) PumpFor(10);
  PumpFor(30);
  Step = step, Tick = 0, Started = GetTickCount();
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnStepTimer);
  const int exitCode = RunSaver(parent);
  KillTimer(nullptr, timer);
  return Tick < 0 ? -2 : step && !StepsDone ? -3 : exitCode;
}

void RunFrame() { SendMessageA(SaverWindow, WM_TIMER, FrameTimerId, 0); }
int VerifierCalls = 0;
BOOL WINAPI CountingVerifier(HWND) { return ++VerifierCalls; }

const char Desktop[] = "Control Panel\\Desktop";
bool SaverRunning() {
  BOOL running = FALSE;
  return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
}
bool Loaded() { return GetModuleHandleA("PASSWORD.CPL") != nullptr; }

void Preview(int tick) {
  if (tick != 5) return;
  CheckWindowAndTriggers();
  EXPECT_NE(ImmGetContext(Owner), nullptr);  // the owner keeps its input method
  HELPINFO help = {sizeof help};
  SendMessageA(SaverWindow, WM_HELP, 0, LPARAM(&help));
  EXPECT_EQ(HelpFrom, WPARAM(Owner));  // sent: handled before this returns
  TakeQueued(Owner, WM_CONTEXTMENU);   // the right-button release above asked for one
  SendMessageA(SaverWindow, WM_CONTEXTMENU, 0, 0);
  EXPECT_EQ(TakeQueued(Owner, WM_CONTEXTMENU), 1);
  // AutoPlay is cancelled only with a verifier; either way it asks to close.
  for (int with = 0; with <= 1; ++with) {
    PasswordVerifier = with ? CountingVerifier : nullptr;
    EXPECT_EQ(SendMessageA(SaverWindow, CancelAutoPlayMsg, 0, 0), with);
    EXPECT_EQ(TakeQueued(SaverWindow, WM_CLOSE), 1);
  }
  // A frame moves the balls; once closing is approved a timer moves nothing.
  const Vec2& at = CurrentUniverse->balls[0]->position;
  for (CloseApproved = 0; CloseApproved <= 1; ++CloseApproved) {
    const Vec2 before = at;
    RunFrame();
    EXPECT_EQ(at.x != before.x || at.y != before.y, !CloseApproved);
  }
  StepsDone = DestroyWindow(SaverWindow);
}

TEST(SaverWindow, APreviewFillsItsOwnerHandsItHelpAndNeverCloses) {
  ScratchRegistry registry;
  Win9xPlatform = 1;  // so that AutoPlay is answered
  Owner = CreatePlainWindow(320, 240);
  SetWindowLongPtrA(Owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerProc));
  EXPECT_EQ(RunToEnd(Owner, Preview), 0);
}

const COLORREF Grey = RGB(51, 51, 51), White = RGB(255, 255, 255);
COLORREF ColourOf(const Ball* b) { return RGB(b->red * 255, b->green * 255, b->blue * 255); }
// The screen at world (x, y): x -300..300 and y -240..240 fill the window.
COLORREF ScreenAt(Vec2 at) {
  return GetPixel(DeviceContext, int((at.x + 300) * ClientWidth / 600),
                  int((240 - at.y) * ClientHeight / 480));
}

// Ball 0 starts within reach of star 0 but moves away: it shows where this
// frame's move, and no bounce, leaves it.  Ball 1 moves into star 1 and
// bounces straight back; stars 2 and 3 sit on world corners.  Then renewal
// by age and the command keys.
void CheckFrames() {
  SaverSettings.GraviticForce = 0;
  ReplaceUniverse(NewUniverseWithCounts(4, 2));
  Universe& world = *CurrentUniverse;
  const Vec2 stars[] = {{-150, 0}, {100, 0}, {-300, -240}, {300, 240}};
  for (int i = 0; i < 4; ++i) world.stars[i]->position = stars[i];
  world.balls[0]->position = Vec2(-170, 0);
  world.balls[0]->velocity = Vec2(-10, 0);
  world.balls[1]->position = Vec2(90, 0);
  world.balls[1]->velocity = Vec2(2, 0);
  const COLORREF ball0 = ColourOf(world.balls[0]), ball1 = ColourOf(world.balls[1]);
  RunFrame();
  EXPECT_EQ(world.balls[1]->velocity.x, -2.0f);  // head-on off an immovable star: reversed
  // Ball 0 is at -180 now, no more at -170; ball 1 at 92, under star 1.
  const struct Probe { Vec2 at; COLORREF colour; } probes[] = {
      {{-150, 0}, White},    {{-186, 0}, ball0},   {{-165, 9}, Grey},   {{95, 0}, White},
      {{83, 0}, ball1},      {{112, 0}, White},    {{-299, -239}, White}, {{299, 239}, White},
      {{282, 239}, Grey},    {{299, 222}, Grey},   {{-282, -239}, Grey}, {{0, 120}, Grey}};
  for (const Probe& probe : probes)
    EXPECT_EQ(ScreenAt(probe.at), probe.colour) << probe.at.x << "," << probe.at.y;
  // The frame that renews shows the new universe, which never reaches the corner.
  const struct { int32_t age; bool renewed; } ages[] = {
      {60, false}, {61, true}, {60, false}, {-1, false}, {-2000000000, false}};
  for (const auto& row : ages) {
    const Universe* before = CurrentUniverse;
    Now = before->creationTime + row.age;
    RunFrame();
    EXPECT_EQ(CurrentUniverse != before, row.renewed) << row.age;
    EXPECT_EQ(ScreenAt(Vec2(299, 239)), CurrentUniverse == &world ? White : Grey);
    EXPECT_EQ(ScreenAt(CurrentUniverse->stars[0]->position), White);
  }
  // At second 1700000000 B's draws after the first are 1027 and 22663 of 32767:
  // ceil(5 f) + 2 = 3 stars and ceil(6 f) + 3 = 8 balls, the same both times.
  SaverSettings = {2, 7, 3, 9, 80};
  Now = 1700000000;
  const struct { char key; int32_t stars, balls; } keys[] = {
      {'M', 2, 9}, {'N', 2, 3}, {'X', 7, 9}, {'Z', 7, 3}, {'B', 3, 8}, {'B', 3, 8}};
  Vec2 starOfB[2];
  for (const auto& row : keys) {
    const Universe* before = CurrentUniverse;
    EXPECT_EQ(SendMessageA(SaverWindow, WM_KEYDOWN, row.key, 0), 1);
    EXPECT_TRUE(CurrentUniverse != before && CurrentUniverse->starCount == row.stars &&
                CurrentUniverse->ballCount == row.balls)
        << row.key << CurrentUniverse->starCount << CurrentUniverse->ballCount;
    if (row.key == 'B') starOfB[&row - keys - 4] = CurrentUniverse->stars[0]->position;
  }
  EXPECT_TRUE(starOfB[0].x == starOfB[1].x && starOfB[0].y == starOfB[1].y);
}

void FullScreenOnNt(int tick) {
  if (tick == 3) {
    EXPECT_EQ(GetCursor(), nullptr);
    CheckFrames();
  } else if (tick == 5) {
    CheckWindowAndTriggers();
    // NT leaves the verify request to the platform and closes without asking.
    PasswordVerifier = CountingVerifier;
    EXPECT_EQ(SendMessageA(SaverWindow, VerifyPasswordMessage, 0, 0), 0);
    keybd_event('Q', 0, 0, 0);
    StepsDone = true;
  }
}

TEST(SaverWindow, FullScreenShowsEachFrameAndOnNtATriggerOrARealKeyEndsIt) {
  ScratchRegistry registry;
  WNDCLASSA taken = {0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr)};
  taken.lpszClassName = "WindowsScreenSaverClass";
  ASSERT_NE(RegisterClassA(&taken), 0);  // the saver cannot have its class: no window
  EXPECT_EQ(RunToEnd(nullptr, nullptr), -1);
  UnregisterClassA(taken.lpszClassName, taken.hInstance);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(RunToEnd(nullptr, FullScreenOnNt), 0);
  EXPECT_EQ(VerifierCalls, 0);
}

TEST(Password, TheDesktopSettingDecidesTheLoadOnWin9xAndAComponentWithoutVerifierIsLetGo) {
  ScratchRegistry registry;
  // "ScreenSaveUsePassword" of `size` bytes (0: none) starting with `use`.
  const struct { int win9x, use, size, loaded; } rows[] = {
      {0, 1, 4, 0}, {1, 0, 4, 0}, {1, 1, 0, 0}, {1, 1, 8, 0}, {1, 1, 4, 1}};
  for (const auto& row : rows) {
    const BYTE value[8] = {BYTE(row.use)};
    Win9xPlatform = row.win9x;
    RegDeleteKeyA(HKEY_CURRENT_USER, Desktop);
    PutValue(Desktop, "ScreenSaveUsePassword", row.size == 4 ? REG_DWORD : REG_BINARY,
             row.size ? value : nullptr, row.size);
    LoadPasswordComponent();  // all three or none
    EXPECT_EQ(Loaded() + (PasswordVerifier != nullptr) + SaverRunning(), 3 * row.loaded)
        << row.size;
    UnloadPasswordComponent();
    EXPECT_FALSE(Loaded() || SaverRunning());
  }
  // The host's load by name finds this one, and the reference it took must go.
  HMODULE ours = LoadLibraryA("Z:" HOST_TESTS_DIR "/noentry/PASSWORD.CPL");
  LoadPasswordComponent();
  EXPECT_TRUE(ours && !PasswordModule && !PasswordVerifier && !SaverRunning());
  FreeLibrary(ours);
  EXPECT_FALSE(Loaded());
}

// A slow dialog: the check is marked, the verifier owns its dialog to the
// saver window, two of three queued frames were dropped, and a nested close
// or a key while it is open neither closes nor asks again.
void SlowDialog(HWND owner) {
  EXPECT_EQ(owner, SaverWindow);
  EXPECT_EQ(CheckInProgress, 1);
  EXPECT_EQ(TakeQueued(SaverWindow, WM_TIMER), 1);
  EXPECT_EQ(SendMessageA(SaverWindow, WM_CLOSE, 0, 0), 0);
  SendMessageA(SaverWindow, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(TakeQueued(SaverWindow, WM_CLOSE), 0);
  Sleep(300);  // the user takes a while: the 200 ms count from the end
}

// Milliseconds since the last dialog (-1: as the last dialog left it, -2000:
// a count that wrapped since), the answer, dialogs so far.
void RefusedThenAccepted(int tick) {
  if (tick != 3) return;
  auto script = reinterpret_cast<int(WINAPI*)(int refusals, void (*)(HWND))>(
      reinterpret_cast<void*>(GetProcAddress(PasswordModule, "StandInScript")));
  ASSERT_TRUE(script && SaverRunning());
  KillTimer(SaverWindow, FrameTimerId);  // only the three frames queued here
  for (int i = 0; i < 3; ++i) PostMessageA(SaverWindow, WM_TIMER, FrameTimerId, 0);
  const struct { int since; bool accept; int dialogs; } rows[] = {
      {1000, false, 1}, {-1, false, 1}, {199, false, 1}, {200, false, 2},
      {-2000, false, 3}, {200, true, 4}};
  for (const auto& row : rows) {
    script(row.accept ? 0 : 99, &row == rows ? SlowDialog : nullptr);
    MouseAnchor = {0, 0};
    const DWORD tick = GetTickCount();
    while (GetTickCount() == tick) Sleep(0);  // a fresh millisecond: the check runs within it
    if (row.since != -1) LastCheckTick = GetTickCount() - row.since;
    SendMessageA(SaverWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(script(0, nullptr), row.dialogs) << row.since;
    EXPECT_EQ(IsWindow(SaverWindow) == FALSE, row.accept);
    EXPECT_EQ(MouseAnchor.x, row.accept ? 0 : 640);  // a refusal measures moves afresh
  }
  StepsDone = true;
}

TEST(Password, ARefusedPasswordKeepsTheSaverRunningAndIsAskedAgainAfter200Ms) {
  ScratchRegistry registry;
  PutValue(Desktop, "ScreenSaveUsePassword", REG_DWORD, "\1\0\0\0", 4);
  Win9xPlatform = 1;
  EXPECT_EQ(RunToEnd(nullptr, RefusedThenAccepted), 0);
  EXPECT_FALSE(Loaded() || SaverRunning());
}

}  // namespace
