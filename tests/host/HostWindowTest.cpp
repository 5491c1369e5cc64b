// RunSaver and HostWindowProc with the real saver procedure: the window class
// and both window kinds, the single-instance test, the input method, and what
// the host consumes, passes on to the saver procedure, or lets fall to the
// platform default.  Each scenario runs inside RunSaver's own message loop.
#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "host/SaverWindow.h"
#include "render/SaverProc.h"
#include "tests/host/EventLog.h"
#include "tests/host/StandIn.h"
#include "tests/host/TestKit.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const UINT CreationDone = 1;  // the first script tick sees the window running

class HostWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingHooks();
    RecordSaverWindowMessages();
    ModuleInstance = GetModuleHandleA(nullptr);
    PlaceCursor(640, 512);
    ClearEvents();
  }
  void TearDown() override {
    if (HasFailure()) PrintEvents("recorded");
  }
  ScratchRegistry registry;  // the saver procedure reads its settings
};

// --- the window class and the full-screen window -----------------------------

WNDCLASSA ClassSeen;
BOOL ClassFound;
LONG StyleSeen, ExStyleSeen;
RECT RectSeen;
char TitleSeen[64];
HWND ForegroundSeen;
HWND ParentSeen;
long FramesSeen;
int PreviewSeen;

void InspectAndEnd(int tick) {
  if (tick < 10) return;  // let frames run
  ClassFound = GetClassInfoA(ModuleInstance, "WindowsScreenSaverClass", &ClassSeen);
  StyleSeen = GetWindowLongA(SaverWindow, GWL_STYLE);
  ExStyleSeen = GetWindowLongA(SaverWindow, GWL_EXSTYLE);
  GetWindowRect(SaverWindow, &RectSeen);
  GetWindowTextA(SaverWindow, TitleSeen, sizeof TitleSeen);
  ForegroundSeen = GetForegroundWindow();
  ParentSeen = GetParent(SaverWindow);
  FramesSeen = FramesSwapped;
  PreviewSeen = PreviewMode;
  DestroyWindow(SaverWindow);
}

TEST_F(HostWindow, FullScreenWindowCoversTheScreenClipBoxWithTheSaverClass) {
  ScriptedRun run = RunSaverScripted(nullptr, InspectAndEnd, 10000);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);

  ASSERT_TRUE(ClassFound);
  EXPECT_EQ(ClassSeen.style, 0x2Bu);
  EXPECT_EQ(ClassSeen.lpfnWndProc, HostWindowProc);
  EXPECT_EQ(ClassSeen.cbClsExtra, 0);
  EXPECT_EQ(ClassSeen.cbWndExtra, 0);
  EXPECT_EQ(ClassSeen.hInstance, ModuleInstance);
  EXPECT_NE(ClassSeen.hIcon, nullptr);
  EXPECT_EQ(ClassSeen.hIcon, LoadIconA(ModuleInstance, MAKEINTRESOURCEA(100)));
  EXPECT_EQ(ClassSeen.hCursor, nullptr);
  EXPECT_EQ(ClassSeen.hbrBackground, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(ClassSeen.lpszMenuName, nullptr);

  EXPECT_EQ(static_cast<DWORD>(StyleSeen), 0x96000000u);
  EXPECT_TRUE(ExStyleSeen & WS_EX_TOPMOST);
  EXPECT_STREQ(TitleSeen, "Screen Saver");
  EXPECT_EQ(ParentSeen, nullptr);
  HDC screen = GetDC(nullptr);
  RECT clip;
  GetClipBox(screen, &clip);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(RectSeen.left, clip.left);
  EXPECT_EQ(RectSeen.top, clip.top);
  EXPECT_EQ(RectSeen.right, clip.right);
  EXPECT_EQ(RectSeen.bottom, clip.bottom);
  EXPECT_EQ(ForegroundSeen, SaverWindow);
  EXPECT_GT(FramesSeen, 0);
  EXPECT_EQ(PreviewSeen, 0);
  EXPECT_EQ(CancelAutoPlayMsg, 0u);  // not Windows 9x
}

TEST_F(HostWindow, FullScreenHidesTheCursorAtCreationAndForegroundsTheWindow) {
  RunSaverScripted(nullptr, InspectAndEnd, 10000);
  // The first calls of the run, in order: the cursor is hidden while the
  // window is created, then the window comes to the foreground.
  size_t hidden = EventCount(), foreground = EventCount();
  for (size_t i = 0; i < EventCount(); ++i) {
    if (EventAt(i).kind == CursorHidden && hidden == EventCount()) hidden = i;
    if (EventAt(i).kind == SystemCall && std::strcmp(EventAt(i).text, "SetForegroundWindow") == 0 &&
        foreground == EventCount())
      foreground = i;
  }
  ASSERT_LT(hidden, EventCount());
  ASSERT_LT(foreground, EventCount());
  EXPECT_LT(hidden, foreground);
  EXPECT_EQ(EventAt(foreground).wParam, reinterpret_cast<WPARAM>(SaverWindow));
}

// --- the preview window ------------------------------------------------------

HWND Owner;

TEST_F(HostWindow, PreviewIsAChildFillingItsOwnersClientAreaAndNeverHidesTheCursor) {
  Owner = CreatePreviewOwner(320, 240);
  ASSERT_NE(Owner, nullptr);
  ScriptedRun run = RunSaverScripted(Owner, InspectAndEnd, 10000);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(static_cast<DWORD>(StyleSeen), 0x52000000u);
  EXPECT_EQ(ExStyleSeen & WS_EX_TOPMOST, 0);
  EXPECT_STREQ(TitleSeen, "Preview");
  EXPECT_EQ(ParentSeen, Owner);
  EXPECT_EQ(RectSeen.right - RectSeen.left, 320);
  EXPECT_EQ(RectSeen.bottom - RectSeen.top, 240);
  EXPECT_EQ(PreviewSeen, 1);
  EXPECT_GT(FramesSeen, 0);
  EXPECT_EQ(CountEvents(CursorHidden, 0), 0u);
  for (size_t i = 0; i < EventCount(); ++i)
    EXPECT_FALSE(EventAt(i).kind == SystemCall &&
                 std::strcmp(EventAt(i).text, "SetForegroundWindow") == 0);
  EXPECT_TRUE(IsWindow(Owner));
  DestroyWindow(Owner);
}

TEST_F(HostWindow, APreviewNeverLoadsThePasswordComponent) {
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  Owner = CreatePreviewOwner(200, 150);
  ClearEvents();
  ScriptedRun run = RunSaverScripted(Owner, InspectAndEnd, 10000);
  EXPECT_EQ(run.exitCode, 0);
  for (size_t i = 0; i < EventCount(); ++i)
    EXPECT_FALSE(EventAt(i).kind == SystemCall &&
                 std::strncmp(EventAt(i).text, "LoadLibraryA", 12) == 0);
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_NE(CancelAutoPlayMsg, 0u);  // Windows 9x registers the AutoPlay query
  EXPECT_EQ(CancelAutoPlayMsg, RegisterWindowMessageA("QueryCancelAutoPlay"));
  DestroyWindow(Owner);
}

void DestroyOwnerAfterFrames(int tick) {
  if (tick == 10) DestroyWindow(Owner);
}

TEST_F(HostWindow, PreviewEndsWhenItsOwnerIsDestroyed) {
  Owner = CreatePreviewOwner(200, 150);
  ScriptedRun run = RunSaverScripted(Owner, DestroyOwnerAfterFrames, 10000);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_FALSE(IsWindow(SaverWindow));
}

// --- the single-instance test ------------------------------------------------

LRESULT CALLBACK Bystander(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// A window of the saver's class and a given title, as another saver process
// would have it.  Registered under another module instance, so that this
// process can still register the class for its own saver.
HWND CreateOtherSaver(const char* title) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = Bystander;
  windowClass.hInstance = GetModuleHandleA("gdi32.dll");
  windowClass.lpszClassName = "WindowsScreenSaverClass";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, "WindowsScreenSaverClass", title, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                         nullptr, nullptr, GetModuleHandleA("gdi32.dll"), nullptr);
}

void NeverRuns(int) {
  ADD_FAILURE() << "no saver loop should run";
  if (SaverWindow) DestroyWindow(SaverWindow);
}

TEST_F(HostWindow, ASecondFullScreenStartBringsTheFirstForwardAndReturnsAtOnce) {
  HWND first = CreateOtherSaver("Screen Saver");
  ASSERT_NE(first, nullptr);
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  PumpFor(50);
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  ClearEvents();
  DWORD start = GetTickCount();
  ScriptedRun run = RunSaverScripted(nullptr, NeverRuns, 5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(SaverWindow, nullptr);
  EXPECT_EQ(GetForegroundWindow(), first);
  // The only system call: the first saver to the foreground.  No registry
  // read, no library load.
  ASSERT_GE(EventCount(), 1u);
  EXPECT_EQ(EventAt(0).kind, SystemCall);
  EXPECT_STREQ(EventAt(0).text, "SetForegroundWindow");
  EXPECT_EQ(EventAt(0).wParam, reinterpret_cast<WPARAM>(first));
  size_t systemCalls = 0;
  for (size_t i = 0; i < EventCount(); ++i) systemCalls += EventAt(i).kind == SystemCall ? 1 : 0;
  EXPECT_EQ(systemCalls, 1u);
  EXPECT_EQ(PasswordModule, nullptr);
}

TEST_F(HostWindow, APreviewWindowDoesNotCountAsARunningSaver) {
  HWND preview = CreateOtherSaver("Preview");
  ASSERT_NE(preview, nullptr);
  ScriptedRun run = RunSaverScripted(nullptr, InspectAndEnd, 10000);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(SaverWindow, nullptr);
  EXPECT_NE(SaverWindow, preview);
  EXPECT_GT(FramesSeen, 0);
}

// --- failures to make the window ---------------------------------------------

TEST_F(HostWindow, WithoutAClassNoLoopRunsThePasswordComponentIsUnloadedAndTheResultIsMinusOne) {
  // The class is already taken for this module instance.
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = Bystander;
  windowClass.hInstance = ModuleInstance;
  windowClass.lpszClassName = "WindowsScreenSaverClass";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  ClearEvents();
  ScriptedRun run = RunSaverScripted(nullptr, NeverRuns, 5000);
  EXPECT_EQ(run.exitCode, -1);
  EXPECT_EQ(SaverWindow, nullptr);
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(PasswordVerifier, nullptr);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(CountEvents(SystemCall, 97), 2u);  // running state on, then off again
}

TEST_F(HostWindow, APreviewOwnerThatIsGoneGivesNoWindowAndMinusOne) {
  HWND gone = CreatePreviewOwner(100, 100);
  DestroyWindow(gone);
  ScriptedRun run = RunSaverScripted(gone, NeverRuns, 5000);
  EXPECT_EQ(run.exitCode, -1);
  EXPECT_EQ(SaverWindow, nullptr);
}

// --- the input method --------------------------------------------------------

void EndSoon(int tick) {
  if (tick == 5) DestroyWindow(SaverWindow);
}

TEST_F(HostWindow, InputMethodIsDetachedAtCreationAndRestoredAtDestruction) {
  HMODULE imm = LoadLibraryA("IMM32.DLL");
  ASSERT_NE(imm, nullptr);
  ClearEvents();
  ScriptedRun run = RunSaverScripted(nullptr, EndSoon, 10000);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(ImeModule, imm);
  ASSERT_NE(ImeAssociate, nullptr);
  // Both calls on the saver window: detach with no context, then give the
  // saved one back (when the window had one).
  int calls = 0;
  for (size_t i = 0; i < EventCount(); ++i) {
    const Event& e = EventAt(i);
    if (e.kind != SystemCall || std::strcmp(e.text, "ImmAssociateContext") != 0) continue;
    EXPECT_EQ(e.wParam, reinterpret_cast<WPARAM>(SaverWindow));
    EXPECT_EQ(e.message, calls == 0 ? 0u : 1u) << "call " << calls;
    ++calls;
  }
  EXPECT_EQ(calls, SavedInputContext != nullptr ? 2 : 1);
  if (SavedInputContext == nullptr)
    std::printf("note: the saver window had no input context of its own to restore\n");
}

TEST_F(HostWindow, InputMethodIsLeftAloneWhenNotLoaded) {
  // Wine loads IMM32.DLL into every process; the host's question for it is
  // answered "not loaded" here, as in a process without it.
  HideInputMethodLibrary = true;
  ClearEvents();
  ScriptedRun run = RunSaverScripted(nullptr, EndSoon, 10000);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(ImeModule, nullptr);
  EXPECT_EQ(ImeAssociate, nullptr);
  EXPECT_EQ(SavedInputContext, nullptr);
  for (size_t i = 0; i < EventCount(); ++i) {
    const Event& e = EventAt(i);
    EXPECT_FALSE(e.kind == SystemCall && std::strstr(e.text, "ImmAssociateContext") != nullptr)
        << e.text;
    EXPECT_FALSE(e.kind == SystemCall && std::strstr(e.text, "LoadLibraryA") != nullptr) << e.text;
  }
}

// --- what the host consumes --------------------------------------------------

LRESULT SetTextResult = -1;
char TitleAfter[64];
LRESULT SwallowedResults[3];
size_t DefaultsAfterSwallowed = 99;
size_t DefaultsForOtherCommand = 99;

void SendSystemMessages(int tick) {
  if (tick != 5) return;
  WatchedWindow = SaverWindow;
  ClearEvents();
  SetTextResult = SendMessageA(SaverWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed"));
  GetWindowTextA(SaverWindow, TitleAfter, sizeof TitleAfter);
  EXPECT_EQ(CountEvents(ReachedDefault, WM_SETTEXT), 0u);

  ClearEvents();
  const WPARAM swallowed[3] = {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE};
  for (int i = 0; i < 3; ++i)
    SwallowedResults[i] = SendMessageA(SaverWindow, WM_SYSCOMMAND, swallowed[i], 0);
  DefaultsAfterSwallowed = CountEvents(ReachedDefault, WM_SYSCOMMAND);
  ClearEvents();
  SendMessageA(SaverWindow, WM_SYSCOMMAND, 0xF200, 0);  // no such command: the default ignores it
  DefaultsForOtherCommand = CountEvents(ReachedDefault, WM_SYSCOMMAND);
  // SC_CLOSE goes the whole way: the default turns it into WM_CLOSE.
  SendMessageA(SaverWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST_F(HostWindow, FullScreenLocksTheTitleAndSwallowsTaskSwitchingAndScreenSaveCommands) {
  ScriptedRun run = RunSaverScripted(nullptr, SendSystemMessages, 10000);
  EXPECT_FALSE(run.timedOut);  // SC_CLOSE ended it
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(SetTextResult, 0);
  EXPECT_STREQ(TitleAfter, "Screen Saver");
  for (LRESULT r : SwallowedResults) EXPECT_EQ(r, 0);
  EXPECT_EQ(DefaultsAfterSwallowed, 0u);
  EXPECT_EQ(DefaultsForOtherCommand, 1u);
}

size_t PreviewNextWindowDefaults = 99;

void SendNextWindowInPreview(int tick) {
  if (tick != 5) return;
  WatchedWindow = SaverWindow;
  ClearEvents();
  SendMessageA(SaverWindow, WM_SYSCOMMAND, SC_NEXTWINDOW, 0);
  PreviewNextWindowDefaults = CountEvents(ReachedDefault, WM_SYSCOMMAND);
  SetTextResult = SendMessageA(SaverWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Changed"));
  GetWindowTextA(SaverWindow, TitleAfter, sizeof TitleAfter);
  DestroyWindow(SaverWindow);
}

TEST_F(HostWindow, InPreviewSystemCommandsReachTheDefaultButTheTitleStaysLocked) {
  Owner = CreatePreviewOwner(200, 150);
  ScriptedRun run = RunSaverScripted(Owner, SendNextWindowInPreview, 10000);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(PreviewNextWindowDefaults, 1u);
  EXPECT_EQ(SetTextResult, 0);
  EXPECT_STREQ(TitleAfter, "Preview");
  DestroyWindow(Owner);
}

LRESULT HelpResult = -1, MenuResult = -1;
size_t HelpDefaults = 99;
HELPINFO Help = {sizeof(HELPINFO), HELPINFO_WINDOW, 0, nullptr, 0, {150, 130}};
int OwnerHelpCountDuringSend = -1;

void AskForHelpInPreview(int tick) {
  if (tick == 5) {
    WatchedWindow = SaverWindow;
    ClearEvents();
    Help.hItemHandle = SaverWindow;
    HelpResult = SendMessageA(SaverWindow, WM_HELP, 0, reinterpret_cast<LPARAM>(&Help));
    OwnerHelpCountDuringSend =
        OwnerMessageCount;  // the HELPINFO is still alive: handed over at once
    MenuResult = SendMessageA(SaverWindow, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(SaverWindow),
                              MAKELPARAM(150, 130));
    HelpDefaults =
        CountEvents(ReachedDefault, WM_HELP) + CountEvents(ReachedDefault, WM_CONTEXTMENU);
  }
  if (tick == 10) DestroyWindow(SaverWindow);
}

TEST_F(HostWindow, InPreviewHelpAndContextMenuGoToTheOwner) {
  Owner = CreatePreviewOwner(200, 150);
  OwnerMessageCount = 0;
  ScriptedRun run = RunSaverScripted(Owner, AskForHelpInPreview, 10000);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(HelpResult, 1);
  EXPECT_EQ(MenuResult, 1);
  EXPECT_EQ(HelpDefaults, 0u);  // nothing of it reached the saver window's default
  ASSERT_EQ(OwnerMessageCount, 2);
  EXPECT_EQ(OwnerMessages[0].message, static_cast<UINT>(WM_HELP));
  EXPECT_EQ(OwnerMessages[0].wParam, reinterpret_cast<WPARAM>(Owner));
  EXPECT_EQ(OwnerMessages[0].lParam, reinterpret_cast<LPARAM>(&Help));
  EXPECT_EQ(OwnerHelpCountDuringSend, 1);
  EXPECT_EQ(OwnerMessages[1].message, static_cast<UINT>(WM_CONTEXTMENU));
  EXPECT_EQ(OwnerMessages[1].wParam, reinterpret_cast<WPARAM>(Owner));
  EXPECT_EQ(OwnerMessages[1].lParam, MAKELPARAM(150, 130));
  DestroyWindow(Owner);
}

void AskForHelpInFullScreen(int tick) {
  if (tick != 5) return;
  WatchedWindow = SaverWindow;
  ClearEvents();
  HelpResult = SendMessageA(SaverWindow, WM_HELP, 0, 0);
  HelpDefaults = CountEvents(ReachedDefault, WM_HELP);
  DestroyWindow(SaverWindow);
}

TEST_F(HostWindow, InFullScreenHelpGoesOnToTheSaverProcedureAndTheDefault) {
  ScriptedRun run = RunSaverScripted(nullptr, AskForHelpInFullScreen, 10000);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(HelpDefaults, 1u);
}

// --- once closing is approved ------------------------------------------------

long FramesAtApproval = -1, FramesAfterTimers = -1;
const Universe* UniverseAtApproval = nullptr;
const Universe* UniverseAfterKey = nullptr;
size_t KeyDefaults = 99, PaintDefaults = 99, ClosesPostedAfterApproval = 99;
LRESULT TimerResult = -1;

void ApproveThenFeedTimersAndInput(int tick) {
  if (tick == 10) {
    WatchedWindow = SaverWindow;
    CloseApproved = 1;  // as ApproveClose leaves it when the verifier accepts
    FramesAtApproval = FramesSwapped;
    UniverseAtApproval = CurrentUniverse;
    for (int i = 0; i < 5; ++i) RealPostMessageA(SaverWindow, WM_TIMER, FrameTimerId, 0);
    ClearEvents();
    TimerResult = SendMessageA(SaverWindow, WM_TIMER, FrameTimerId, 0);
    SendMessageA(SaverWindow, WM_KEYDOWN, 'B', 0x00300001);
    SendMessageA(SaverWindow, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    UniverseAfterKey = CurrentUniverse;
    KeyDefaults =
        CountEvents(ReachedDefault, WM_KEYDOWN) + CountEvents(ReachedDefault, WM_LBUTTONDOWN);
    InvalidateRect(SaverWindow, nullptr, FALSE);
    UpdateWindow(SaverWindow);
    PaintDefaults = CountEvents(ReachedDefault, WM_PAINT);
    ClosesPostedAfterApproval = CountEvents(Posted, WM_CLOSE);
  }
  if (tick == 20) {
    FramesAfterTimers = FramesSwapped;
    SendMessageA(SaverWindow, WM_CLOSE, 0, 0);
  }
}

TEST_F(HostWindow, OnceClosingIsApprovedNoFrameIsDrawnAndInputFallsToTheDefault) {
  ScriptedRun run = RunSaverScripted(nullptr, ApproveThenFeedTimersAndInput, 10000);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_GT(FramesAtApproval, 0);
  EXPECT_EQ(FramesAfterTimers, FramesAtApproval);  // queued and sent timers drew nothing
  EXPECT_EQ(TimerResult, 0);
  EXPECT_EQ(UniverseAfterKey, UniverseAtApproval);  // the command key never reached the saver
  EXPECT_EQ(KeyDefaults, 2u);
  EXPECT_EQ(PaintDefaults, 1u);
  EXPECT_EQ(ClosesPostedAfterApproval, 0u);
}

const Universe* UniverseBeforeKey = nullptr;
long FramesBefore = -1, FramesLater = -1;

void CommandKeyReachesTheSaver(int tick) {
  if (tick == 5) {
    UniverseBeforeKey = CurrentUniverse;
    FramesBefore = FramesSwapped;
    WatchedWindow = SaverWindow;
    ClearEvents();
    SendMessageA(SaverWindow, WM_KEYDOWN, 'B', 0x00300001);
    UniverseAfterKey = CurrentUniverse;
    KeyDefaults = CountEvents(ReachedDefault, WM_KEYDOWN);
    ClosesPostedAfterApproval = CountEvents(Posted, WM_CLOSE);
  }
  if (tick == 15) {
    FramesLater = FramesSwapped;
    DestroyWindow(SaverWindow);
  }
}

TEST_F(HostWindow, WhileRunningTimersDrawFramesAndCommandKeysReachTheSaver) {
  ScriptedRun run = RunSaverScripted(nullptr, CommandKeyReachesTheSaver, 10000);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(UniverseAfterKey, UniverseBeforeKey);
  EXPECT_EQ(KeyDefaults, 0u);
  EXPECT_EQ(ClosesPostedAfterApproval, 0u);
  EXPECT_GT(FramesLater, FramesBefore);
}

// --- the AutoPlay answer through the whole window -----------------------------

LRESULT AutoPlayAnswer = -1;
StandIn Component;

void AskAutoPlay(int tick) {
  if (tick != 5) return;
  if (PasswordModule != nullptr) {
    Component.Bind();
    Component.QueueAnswer(TRUE);  // the close it posts is then accepted
  }
  AutoPlayAnswer = SendMessageA(SaverWindow, CancelAutoPlayMsg, 0, 0);
}

TEST_F(HostWindow, AutoPlayIsCancelledAndTheSaverClosesWhenAPasswordIsInUse) {
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  ScriptedRun run = RunSaverScripted(nullptr, AskAutoPlay, 10000);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(AutoPlayAnswer, 1);
  EXPECT_EQ(CloseApproved, 1);
  EXPECT_EQ(PasswordModule, nullptr);  // unloaded after the loop
}

TEST_F(HostWindow, AutoPlayRunsAndTheSaverClosesWithoutAPassword) {
  Win9xPlatform = 1;
  registry.SetUsePassword(0);
  ScriptedRun run = RunSaverScripted(nullptr, AskAutoPlay, 10000);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(AutoPlayAnswer, 0);
}

}  // namespace
