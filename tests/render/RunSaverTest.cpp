// The saver procedure inside the real host: RunSaver's window, its 10 ms
// timer and message loop, a command key that keeps it running and another
// key that ends it.
#include <gtest/gtest.h>

#include "host/HostState.h"
#include "host/SaverWindow.h"
#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/SaverTestSupport.h"

namespace {

// Driven by a thread timer inside RunSaver's own message loop.
struct Script {
  int step = 0;
  int timerTicks = 0;
  const Universe* firstUniverse = nullptr;
  Vec2 firstBallStart;
  bool ballMoved = false;
  bool replacedByKey = false;
  bool aliveAfterKey = false;
  bool timedOut = false;
  DWORD deadline = 0;
};
Script script;

// Counts the frame timer's messages as the loop retrieves them.
LRESULT CALLBACK CountFrames(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && message->message == WM_TIMER && message->hwnd == SaverWindow &&
      message->wParam == FrameTimerId) {
    ++script.timerTicks;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK Advance(HWND, UINT, UINT_PTR, DWORD) {
  if (GetTickCount() > script.deadline) {
    script.timedOut = true;
    PostMessageA(SaverWindow, WM_CLOSE, 0, 0);
    return;
  }
  switch (script.step) {
    case 0:  // the first frames have run
      if (CurrentUniverse == nullptr || script.timerTicks < 5) return;
      script.firstUniverse = CurrentUniverse;
      script.firstBallStart = CurrentUniverse->balls[0]->position;
      script.step = 1;
      return;
    case 1:  // more frames move the balls; then a command key
      if (script.timerTicks < 15) return;
      script.ballMoved = CurrentUniverse->balls[0]->position.x != script.firstBallStart.x ||
                         CurrentUniverse->balls[0]->position.y != script.firstBallStart.y;
      PostMessageA(SaverWindow, WM_KEYDOWN, 'B', 1);
      script.step = 2;
      return;
    case 2:  // the key has been handled: still running, new universe
      script.replacedByKey = CurrentUniverse != script.firstUniverse;
      script.aliveAfterKey = IsWindow(SaverWindow) != FALSE;
      PostMessageA(SaverWindow, WM_KEYDOWN, 'Q', 1);
      script.step = 3;
      return;
    default:
      return;
  }
}

TEST(RunSaverTest, FullScreenSaverAnimatesKeepsRunningOnBAndEndsOnQ) {
  ModuleInstance = GetModuleHandleA(nullptr);
  ScratchRegistry registry;
  registry.StoreSettings(3, 3, 4, 4, 80);
  script.deadline = GetTickCount() + 10000;
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, CountFrames, nullptr, GetCurrentThreadId());
  const UINT_PTR driver = SetTimer(nullptr, 0, 50, Advance);
  const int exitCode = RunSaver(nullptr);
  KillTimer(nullptr, driver);
  UnhookWindowsHookEx(hook);

  EXPECT_FALSE(script.timedOut) << "stopped at step " << script.step;
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(script.step, 3);
  EXPECT_GE(script.timerTicks, 15);
  EXPECT_TRUE(script.ballMoved);
  EXPECT_TRUE(script.replacedByKey);
  EXPECT_TRUE(script.aliveAfterKey);
  EXPECT_FALSE(IsWindow(SaverWindow));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  ASSERT_NE(CurrentUniverse, nullptr);
  EXPECT_EQ(CurrentUniverse->starCount, 3);
  EXPECT_EQ(CurrentUniverse->ballCount, 4);
}

}  // namespace
