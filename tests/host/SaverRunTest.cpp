// Whole saver runs, each in its own process: RunSaver with the real saver
// procedure, ended (or not) by real input injected from inside its own
// message loop, always within a deadline.
#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "host/SaverWindow.h"
#include "render/SaverProc.h"
#include "tests/host/EventLog.h"
#include "tests/host/StandIn.h"
#include "tests/host/TestKit.h"

#include <gtest/gtest.h>

namespace {

const DWORD Deadline = 8000;
const POINT Centre = {640, 512};

void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

void Click(DWORD down, DWORD up) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = down;
  input[1].mi.dwFlags = up;
  SendInput(2, input, sizeof(INPUT));
}

class SaverRun : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingHooks();
    RecordSaverWindowMessages();
    ModuleInstance = GetModuleHandleA(nullptr);
    PlaceCursor(Centre.x, Centre.y);
    ClearEvents();
  }
  void TearDown() override {
    if (HasFailure()) PrintEvents("recorded");
  }
  void ExpectEndedByInput(const ScriptedRun& run) {
    EXPECT_FALSE(run.timedOut) << "the saver did not end within " << Deadline << " ms";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(IsWindow(SaverWindow));
    EXPECT_GT(FramesSwapped, 0);
  }
  ScratchRegistry registry;
};

bool AliveBeforeInput = false;
const Universe* UniverseBefore = nullptr;
const Universe* UniverseAfter = nullptr;
bool AliveAfterCommand = false;

void KeyAfterFrames(int tick) {
  if (tick == 10) {
    AliveBeforeInput = IsWindow(SaverWindow) != FALSE;
    PressKey('Q');
  }
}

TEST_F(SaverRun, FullScreenEndsOnARealKeyPress) {
  ExpectEndedByInput(RunSaverScripted(nullptr, KeyAfterFrames, Deadline));
  EXPECT_TRUE(AliveBeforeInput);
  EXPECT_EQ(CountEvents(Received, WM_KEYDOWN), 1u);
}

void MoveAfterFrames(int tick) {
  if (tick == 10) {
    AliveBeforeInput = IsWindow(SaverWindow) != FALSE;
    SetCursorPos(Centre.x + 30, Centre.y + 10);
  }
}

TEST_F(SaverRun, FullScreenEndsOnARealMouseMove) {
  ExpectEndedByInput(RunSaverScripted(nullptr, MoveAfterFrames, Deadline));
  EXPECT_TRUE(AliveBeforeInput);
}

void ClickAfterFrames(int tick) {
  if (tick == 10) {
    AliveBeforeInput = IsWindow(SaverWindow) != FALSE;
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  }
}

TEST_F(SaverRun, FullScreenEndsOnARealClick) {
  ExpectEndedByInput(RunSaverScripted(nullptr, ClickAfterFrames, Deadline));
  EXPECT_TRUE(AliveBeforeInput);
  EXPECT_EQ(CountEvents(Received, WM_RBUTTONDOWN), 1u);
}

size_t ClosesPostedBeforeInput = 99;

void SmallMovesThenAnother(int tick) {
  if (tick == 10) SetCursorPos(Centre.x + 2, Centre.y - 2);  // 4: tolerated
  if (tick == 20) {
    AliveBeforeInput = IsWindow(SaverWindow) != FALSE;
    ClosesPostedBeforeInput = CountEvents(Posted, WM_CLOSE);
    SetCursorPos(Centre.x + 3, Centre.y - 2);  // 5 from where it started
  }
}

TEST_F(SaverRun, SmallRealMovesAddUpUntilTheyPassTheTolerance) {
  ExpectEndedByInput(RunSaverScripted(nullptr, SmallMovesThenAnother, Deadline));
  EXPECT_TRUE(AliveBeforeInput);
  EXPECT_EQ(ClosesPostedBeforeInput, 0u);
}

void CommandKeyThenEscape(int tick) {
  if (tick == 10) {
    UniverseBefore = CurrentUniverse;
    PressKey('B');
  }
  if (tick == 25) {
    AliveAfterCommand = IsWindow(SaverWindow) != FALSE;
    UniverseAfter = CurrentUniverse;
    PressKey(VK_ESCAPE);
  }
}

TEST_F(SaverRun, ACommandKeyKeepsItRunningEscapeEndsIt) {
  ExpectEndedByInput(RunSaverScripted(nullptr, CommandKeyThenEscape, Deadline));
  EXPECT_TRUE(AliveAfterCommand);
  EXPECT_NE(UniverseAfter, UniverseBefore);
}

long FramesAtStart = -1, FramesLater = -1;

void WatchWithoutInput(int tick) {
  if (tick == 2) FramesAtStart = FramesSwapped;
  if (tick == 40) {
    AliveBeforeInput = IsWindow(SaverWindow) != FALSE;
    ClosesPostedBeforeInput = CountEvents(Posted, WM_CLOSE);
    FramesLater = FramesSwapped;
    DestroyWindow(SaverWindow);
  }
}

TEST_F(SaverRun, TheMoveSentAtStartDoesNotCloseAndFramesKeepComing) {
  ScriptedRun run = RunSaverScripted(nullptr, WatchWithoutInput, Deadline);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(AliveBeforeInput);
  EXPECT_EQ(ClosesPostedBeforeInput, 0u);
  EXPECT_GT(FramesLater, FramesAtStart);
  std::printf("frames in about 760 ms: %ld\n", FramesLater - FramesAtStart);
}

// --- the preview -------------------------------------------------------------

HWND Owner;

void EverythingButTheOwner(int tick) {
  if (tick == 5) {
    SetForegroundWindow(Owner);
    SetCursorPos(Centre.x + 200, Centre.y + 100);
  }
  if (tick == 10) {
    PressKey('Q');
    PressKey(VK_ESCAPE);
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    SendMessageA(SaverWindow, WM_KEYDOWN, 'Q', 0x00100001);
    SendMessageA(SaverWindow, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(SaverWindow, WM_ACTIVATEAPP, 0, 0);
    SendMessageA(SaverWindow, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    SendMessageA(SaverWindow, WM_MOUSEMOVE, 0, 0);
  }
  if (tick == 30) {
    AliveBeforeInput = IsWindow(SaverWindow) != FALSE;
    ClosesPostedBeforeInput = CountEvents(Posted, WM_CLOSE);
    DestroyWindow(Owner);
  }
}

TEST_F(SaverRun, APreviewIgnoresEveryTriggerAndEndsWithItsOwner) {
  Owner = CreatePreviewOwner(240, 180);
  ASSERT_NE(Owner, nullptr);
  ScriptedRun run = RunSaverScripted(Owner, EverythingButTheOwner, Deadline);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(AliveBeforeInput);
  EXPECT_EQ(ClosesPostedBeforeInput, 0u);
  EXPECT_FALSE(IsWindow(SaverWindow));
  EXPECT_GT(FramesSwapped, 0);
}

// --- Windows 9x with a password ----------------------------------------------

StandIn Component;
int CallsAfterRefusal = -1;
long FramesAtRefusal = -1, FramesAfterRefusal = -1;
bool AliveAfterRefusal = false;

void WrongThenRightPassword(int tick) {
  if (tick == 3) {
    Component.Bind();
    Component.QueueAnswer(FALSE);
    Component.QueueAnswer(TRUE);
  }
  if (tick == 10) PressKey('Q');
  if (tick == 15) FramesAtRefusal = FramesSwapped;
  if (tick == 35) {
    CallsAfterRefusal = Component.CallCount();
    AliveAfterRefusal = IsWindow(SaverWindow) != FALSE;
    FramesAfterRefusal = FramesSwapped;
    PressKey('Q');
  }
}

TEST_F(SaverRun, OnWin9xAWrongPasswordKeepsItRunningTheRightOneEndsIt) {
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  ClearEvents();
  ScriptedRun run = RunSaverScripted(nullptr, WrongThenRightPassword, Deadline);
  ExpectEndedByInput(run);
  EXPECT_EQ(CallsAfterRefusal, 1);
  EXPECT_TRUE(AliveAfterRefusal);
  EXPECT_GT(FramesAfterRefusal, FramesAtRefusal);  // frames went on after the refusal
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_EQ(CountEvents(Received, 0x8000), 2u);
  // Armed before the window, disarmed after the loop.
  static const Event runningState[] = {
      {SystemCall, 97, 1, "SystemParametersInfoA:cell,0"},
      {SystemCall, 97, 0, "SystemParametersInfoA:cell,0"},
  };
  size_t found = 0;
  for (size_t i = 0; i < EventCount() && found < 2; ++i)
    if (EventAt(i).kind == SystemCall && EventAt(i).message == 97) {
      EXPECT_EQ(EventAt(i).wParam, runningState[found].wParam);
      ++found;
    }
  EXPECT_EQ(found, 2u);
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
}

}  // namespace
