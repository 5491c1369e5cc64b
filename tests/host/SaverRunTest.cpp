// Whole saver runs, each in its own process: RunSaver with the real saver
// procedure, ended (or not) by real input injected from inside its own
// message loop, always within a deadline.
#include <gtest/gtest.h>

#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "host/SaverWindow.h"
#include "render/SaverProc.h"
#include "tests/host/EventLog.h"
#include "tests/host/StandIn.h"
#include "tests/host/TestKit.h"

namespace {

const POINT Centre = {640, 512};

void Press(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

void Click() {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

// What the script saw just before the input that should end the run.
bool AliveBeforeInput = false;
size_t ClosesBeforeInput = 99;
long FramesAtStart = -1, FramesBeforeInput = -1;

void NoteBeforeInput() {
  AliveBeforeInput = IsWindow(SaverWindow) != FALSE;
  ClosesBeforeInput = CountEvents(Posted, WM_CLOSE);
  FramesBeforeInput = FramesSwapped;
}

class SaverRun : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingHooks();
    ModuleInstance = GetModuleHandleA(nullptr);
    PlaceCursor(Centre.x, Centre.y);
    ClearEvents();
  }
  void ExpectEndedByInput(const ScriptedRun& run, size_t closesBefore = 0) {
    EXPECT_FALSE(run.timedOut) << "the saver did not end in time";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(IsWindow(SaverWindow));
    EXPECT_TRUE(AliveBeforeInput);
    EXPECT_EQ(ClosesBeforeInput, closesBefore);
    EXPECT_GT(FramesBeforeInput, FramesAtStart);
    EXPECT_GT(FramesAtStart, 0);
  }
  ScratchRegistry registry;
};

const Universe* UniverseBeforeKey = nullptr;
const Universe* UniverseAfterKey = nullptr;

// The move the system sends at start, a tolerated small move and a command
// key keep it running; the next small move passes the tolerance and ends it.
TEST_F(SaverRun, StartMoveSmallMoveAndCommandKeyKeepItRunningTheNextMoveEndsIt) {
  ExpectEndedByInput(RunSaverScripted(nullptr, [](int tick) {
    if (tick == 2) FramesAtStart = FramesSwapped;
    if (tick == 10) SetCursorPos(Centre.x + 2, Centre.y - 2);  // 4: tolerated
    if (tick == 15) {
      UniverseBeforeKey = CurrentUniverse;
      Press('B');
    }
    if (tick == 30) {
      UniverseAfterKey = CurrentUniverse;
      NoteBeforeInput();
      SetCursorPos(Centre.x + 3, Centre.y - 2);  // 5 from where it started
    }
  }));
  EXPECT_NE(UniverseAfterKey, UniverseBeforeKey);
}

TEST_F(SaverRun, FullScreenEndsOnARealKeyPress) {
  ExpectEndedByInput(RunSaverScripted(nullptr, [](int tick) {
    if (tick == 2) FramesAtStart = FramesSwapped;
    if (tick == 10) {
      NoteBeforeInput();
      Press('Q');
    }
  }));
}

HWND Owner;

TEST_F(SaverRun, APreviewIgnoresEveryTriggerAndEndsWithItsOwner) {
  Owner = CreatePreviewOwner(240, 180);
  ASSERT_NE(Owner, nullptr);
  ExpectEndedByInput(RunSaverScripted(Owner, [](int tick) {
    if (tick == 2) FramesAtStart = FramesSwapped;
    if (tick == 5) {
      SetForegroundWindow(Owner);
      SetCursorPos(Centre.x + 200, Centre.y + 100);
    }
    if (tick == 10) {
      Press('Q');
      Press(VK_ESCAPE);
      Click();
      SendMessageA(SaverWindow, WM_KEYDOWN, 'Q', 0x00100001);
      SendMessageA(SaverWindow, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessageA(SaverWindow, WM_ACTIVATEAPP, 0, 0);
      SendMessageA(SaverWindow, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
      SendMessageA(SaverWindow, WM_MOUSEMOVE, 0, 0);
    }
    if (tick == 30) {
      NoteBeforeInput();
      DestroyWindow(Owner);
    }
  }));
}

// --- Windows 9x with a password ----------------------------------------------

int CallsAfterRefusal = -1;
long FramesAtRefusal = -1;
LRESULT AutoPlayAnswer = -1;

// A wrong password keeps it running; the AutoPlay query then closes it (and
// cancels AutoPlay, a password being in use) once the right one is given.
TEST_F(SaverRun, OnWin9xAWrongPasswordKeepsItRunningTheRightOneEndsIt) {
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  ClearEvents();
  ExpectEndedByInput(RunSaverScripted(nullptr, [](int tick) {
    StandIn component;
    if (!component.Bind()) return;
    if (tick == 2) {
      FramesAtStart = FramesSwapped;
      component.QueueAnswer(FALSE);
      component.QueueAnswer(TRUE);
    }
    if (tick == 10) Press('Q');
    if (tick == 15) FramesAtRefusal = FramesSwapped;
    if (tick == 35) {
      CallsAfterRefusal = component.CallCount();
      NoteBeforeInput();
      AutoPlayAnswer = SendMessageA(SaverWindow, CancelAutoPlayMsg, 0, 0);
    }
  }), 1);  // the close the Q posted, refused
  EXPECT_EQ(CallsAfterRefusal, 1);
  EXPECT_GT(FramesBeforeInput, FramesAtRefusal);  // frames went on after the refusal
  EXPECT_EQ(AutoPlayAnswer, 1);
  EXPECT_EQ(CloseApproved, 1);
  // Armed before the window, disarmed after the loop, and nothing between.
  const Event running[] = {{SystemCall, 97, 1, "SystemParametersInfoA:cell,0"},
                           {SystemCall, 97, 0, "SystemParametersInfoA:cell,0"}};
  size_t found = 0;
  for (size_t i = 0; i < EventCount(); ++i) {
    if (EventAt(i).kind != SystemCall || EventAt(i).message != 97) continue;
    if (found < 2) EXPECT_EQ(EventAt(i).wParam, running[found].wParam) << "call " << found;
    ++found;
  }
  EXPECT_EQ(found, 2u);
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
}

}  // namespace
