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

// Message, wParam, closes posted in full screen (a preview never closes); the
// first move finds the cursor where it was when the window came up.
const WPARAM Triggers[][3] = {
    {WM_MOUSEMOVE, 0, 0},     {WM_KEYDOWN, 'A', 1},     {WM_SYSKEYDOWN, 'B', 1},
    {WM_KEYDOWN, 'B', 0},     {WM_KEYDOWN, 'M', 0},     {WM_KEYDOWN, 'N', 0},
    {WM_KEYDOWN, 'X', 0},     {WM_KEYDOWN, 'Z', 0},     {WM_LBUTTONDOWN, 0, 1},
    {WM_RBUTTONDOWN, 0, 1},   {WM_MBUTTONDOWN, 0, 1},   {WM_LBUTTONUP, 0, 0},
    {WM_RBUTTONUP, 0, 0},     {WM_MBUTTONUP, 0, 0},     {WM_LBUTTONDBLCLK, 0, 0},
    {WM_RBUTTONDBLCLK, 0, 0}, {WM_MBUTTONDBLCLK, 0, 0}, {WM_MOUSEWHEEL, WHEEL_DELTA << 16, 0},
    {WM_ACTIVATEAPP, 0, 1},   {WM_ACTIVATEAPP, 1, 0},   {WM_POWER, 1, 0},
    {WM_POWER, 2, 0},         {WM_POWER, 3, 1},         {WM_POWERBROADCAST, PBT_APMSUSPEND, 1}};
// Cursor moves from (640, 512) in turn: dx, dy, closes, then the anchor dx, dy.
const int Moves[][5] = {{2, 0, 0, 0, 0}, {4, 0, 0, 0, 0}, {3, -1, 0, 0, 0}, {-2, 2, 0, 0, 0},
                        {3, 2, 1, 3, 2}, {7, 2, 0, 3, 2}, {8, 2, 1, 8, 2}};

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
  for (const auto& row : Triggers) {
    SendMessageA(SaverWindow, UINT(row[0]), row[1], 0);
    EXPECT_EQ(TakeQueued(SaverWindow, WM_CLOSE), preview ? 0 : int(row[2])) << row[0] << row[1];
  }
  for (const auto& row : Moves) {
    SetCursorPos(640 + row[0], 512 + row[1]);
    SendMessageA(SaverWindow, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(TakeQueued(SaverWindow, WM_CLOSE), preview ? 0 : row[2]) << row[0] << row[1];
    EXPECT_EQ(MouseAnchor.x - 640, preview ? 0 : row[3]);
    EXPECT_EQ(MouseAnchor.y - 512, preview ? 0 : row[4]);
  }
}

int32_t Now = 1000000000;
int32_t PinnedClock() { return Now; }

// A saver run's exit code; -2: ended by force, -3: before its last step ran.
bool StepsDone = false;
int RunToEnd(HWND parent, void (*step)(int tick)) {
  ClockSource = PinnedClock;
  ModuleInstance = GetModuleHandleA(nullptr);
  PlaceCursor(640, 512);
  const int exitCode = RunSaverScripted(parent, step);
  return exitCode != -2 && step && !StepsDone ? -3 : exitCode;
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
// frame's move, and no bounce, leaves it.  Ball 1 rests under star 1; stars
// 2 and 3 sit on world corners.  Then renewal by age and the command keys.
void CheckFrames() {
  SaverSettings.GraviticForce = 0;
  ReplaceUniverse(NewUniverseWithCounts(4, 2));
  Universe& world = *CurrentUniverse;
  const Vec2 stars[] = {{-150, 0}, {100, 0}, {-300, -240}, {300, 240}};
  for (int i = 0; i < 4; ++i) world.stars[i]->position = stars[i];
  world.balls[0]->position = Vec2(-170, 0);
  world.balls[0]->velocity = Vec2(-10, 0);
  world.balls[1]->position = Vec2(90, 0);
  const double ball0 = ColourOf(world.balls[0]), ball1 = ColourOf(world.balls[1]);
  RunFrame();
  // World x, y and the colour there: ball 0 is at -180 now, no more at -170.
  const double probes[][3] = {{-150, 0, White},    {-186, 0, ball0},   {-165, 9, Grey},
                              {95, 0, White},      {83, 0, ball1},     {112, 0, White},
                              {-299, -239, White}, {299, 239, White},  {282, 239, Grey},
                              {299, 222, Grey},    {-282, -239, Grey}, {0, 120, Grey}};
  for (const auto& probe : probes)
    EXPECT_EQ(ScreenAt(Vec2(probe[0], probe[1])), COLORREF(probe[2])) << probe[0] << probe[1];
  // Age in seconds, renewed.  The frame that renews shows the new universe,
  // which never reaches the corner.
  const int32_t ages[][2] = {{60, 0}, {61, 1}, {60, 0}, {-1, 0}, {-2000000000, 0}};
  for (const auto& row : ages) {
    const Universe* before = CurrentUniverse;
    Now = before->creationTime + row[0];
    RunFrame();
    EXPECT_EQ(CurrentUniverse != before, row[1] != 0) << row[0];
    EXPECT_EQ(ScreenAt(Vec2(299, 239)), CurrentUniverse == &world ? White : Grey);
    EXPECT_EQ(ScreenAt(CurrentUniverse->stars[0]->position), White);
  }
  SaverSettings = {2, 7, 3, 9, 80};
  // Key; fewest and most stars, fewest and most balls.  B draws twice.
  const int32_t keys[][5] = {{'M', 2, 2, 9, 9}, {'N', 2, 2, 3, 3}, {'X', 7, 7, 9, 9},
                             {'Z', 7, 7, 3, 3}, {'B', 2, 7, 3, 9}, {'B', 2, 7, 3, 9}};
  for (const auto& row : keys) {
    const Universe* before = CurrentUniverse;
    EXPECT_EQ(SendMessageA(SaverWindow, WM_KEYDOWN, row[0], 0), 1);
    const int32_t stars = CurrentUniverse->starCount, balls = CurrentUniverse->ballCount;
    EXPECT_TRUE(CurrentUniverse != before && stars >= row[1] && stars <= row[2] &&
                balls >= row[3] && balls <= row[4])
        << char(row[0]) << stars << balls;
  }
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
  // Windows 9x, "ScreenSaveUsePassword" and its size (0: none), loaded.
  const int rows[][4] = {{0, 1, 4, 0}, {1, 0, 4, 0}, {1, 1, 0, 0}, {1, 1, 8, 0}, {1, 1, 4, 1}};
  for (const auto& row : rows) {
    const BYTE value[8] = {BYTE(row[1])};
    Win9xPlatform = row[0];
    RegDeleteKeyA(HKEY_CURRENT_USER, Desktop);
    PutValue(Desktop, "ScreenSaveUsePassword", row[2] == 4 ? REG_DWORD : REG_BINARY,
             row[2] ? value : nullptr, row[2]);
    LoadPasswordComponent();  // all three or none
    EXPECT_EQ(Loaded() + (PasswordVerifier != nullptr) + SaverRunning(), 3 * row[3]) << row[2];
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

// Milliseconds since the last dialog, the answer, dialogs so far.
void RefusedThenAccepted(int tick) {
  if (tick != 3) return;
  auto script = reinterpret_cast<int(WINAPI*)(int refusals)>(
      reinterpret_cast<void*>(GetProcAddress(PasswordModule, "StandInScript")));
  ASSERT_TRUE(script && SaverRunning());
  const DWORD rows[][3] = {{1000, 0, 1}, {0, 0, 1}, {199, 0, 1}, {200, 0, 2}, {200, 1, 3}};
  for (const auto& row : rows) {
    script(row[1] ? 0 : 99);
    MouseAnchor = {0, 0};
    const DWORD tick = GetTickCount();
    while (GetTickCount() == tick) Sleep(0);  // a fresh millisecond: the check runs within it
    LastCheckTick = GetTickCount() - row[0];
    SendMessageA(SaverWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(DWORD(script(0)), row[2]) << row[0];
    EXPECT_EQ(IsWindow(SaverWindow) == FALSE, row[1] == 1);
    EXPECT_EQ(MouseAnchor.x, row[1] ? 0 : 640);  // a refusal measures moves afresh
  }
  StepsDone = true;
}

TEST(Password, ARefusedPasswordKeepsTheSaverRunningAndIsAskedAgainAfter200Ms) {
  ScratchRegistry registry;
  PutDword(Desktop, "ScreenSaveUsePassword", 1);
  Win9xPlatform = 1;
  EXPECT_EQ(RunToEnd(nullptr, RefusedThenAccepted), 0);
  EXPECT_FALSE(Loaded() || SaverRunning());
}

}  // namespace
