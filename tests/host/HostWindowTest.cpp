// RunSaver and HostWindowProc with the real saver procedure: the window class
// and both window kinds, the single-instance test, the input method, and what
// the host consumes, passes on to the saver procedure, or lets fall to the
// platform default.  Each scenario runs inside RunSaver's own message loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "host/SaverWindow.h"
#include "render/SaverProc.h"
#include "tests/host/EventLog.h"
#include "tests/host/StandIn.h"
#include "tests/host/TestKit.h"

namespace {

class HostWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingHooks();
    ModuleInstance = GetModuleHandleA(nullptr);
    PlaceCursor(640, 512);
    ClearEvents();
  }
  ScratchRegistry registry;  // the saver procedure reads its settings
};

// --- messages sent to the running window, a table per scenario ---------------

const LRESULT AnyResult = -99;

struct MessageRow {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;     // AnyResult: not compared
  size_t defaults;    // times it reached DefWindowProcA
  long frames;        // frames drawn while it was handled
  bool replaced;      // a new universe afterwards
};

std::vector<std::string> ExpectedLines, RecordedLines;

std::string Line(const MessageRow& row, LRESULT result, size_t defaults, long frames,
                 bool replaced, size_t closes) {
  return std::string(row.name) + ": result " +
         (row.result == AnyResult ? "any" : std::to_string(result)) + ", default " +
         std::to_string(defaults) + ", frames " + std::to_string(frames) + ", replaced " +
         std::to_string(replaced) + ", closes posted " + std::to_string(closes);
}

void SendRows(const MessageRow* rows, size_t count) {
  WatchedWindow = SaverWindow;
  for (size_t i = 0; i < count; ++i) {
    const MessageRow& row = rows[i];
    ExpectedLines.push_back(Line(row, row.result, row.defaults, row.frames, row.replaced, 0));
    ClearEvents();
    const long framesBefore = FramesSwapped;
    const Universe* universeBefore = CurrentUniverse;
    const LRESULT result = SendMessageA(SaverWindow, row.message, row.wParam, row.lParam);
    RecordedLines.push_back(Line(row, result, CountEvents(ReachedDefault, row.message),
                                 FramesSwapped - framesBefore, CurrentUniverse != universeBefore,
                                 CountEvents(Posted, WM_CLOSE)));
  }
}

void ExpectRowsAsSent() {
  std::string lists = "expected:\n";
  for (const std::string& line : ExpectedLines) lists += "  " + line + "\n";
  lists += "recorded:\n";
  for (const std::string& line : RecordedLines) lists += "  " + line + "\n";
  EXPECT_FALSE(ExpectedLines.empty()) << "the script never ran";
  EXPECT_EQ(ExpectedLines, RecordedLines) << lists;
}

const MessageRow WhileRunning[] = {
    {"title change", WM_SETTEXT, 0, LPARAM("Changed"), 0, 0, 0, false},
    {"next window", WM_SYSCOMMAND, SC_NEXTWINDOW, 0, 0, 0, 0, false},
    {"previous window", WM_SYSCOMMAND, SC_PREVWINDOW, 0, 0, 0, 0, false},
    {"screen save", WM_SYSCOMMAND, SC_SCREENSAVE, 0, 0, 0, 0, false},
    {"other system command", WM_SYSCOMMAND, 0xF200, 0, AnyResult, 1, 0, false},
    {"help", WM_HELP, 0, 0, AnyResult, 1, 0, false},
    {"frame timer", WM_TIMER, FrameTimerId, 0, AnyResult, 0, 1, false},
    {"command key B", WM_KEYDOWN, 'B', 0x00300001, 1, 0, 0, true},
};
// As ApproveClose leaves it when the verifier accepts: no frame, no saver.
const MessageRow OnceApproved[] = {
    {"frame timer", WM_TIMER, FrameTimerId, 0, 0, 0, 0, false},
    {"command key B", WM_KEYDOWN, 'B', 0x00300001, AnyResult, 1, 0, false},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, 0, AnyResult, 1, 0, false},
    {"paint", WM_PAINT, 0, 0, AnyResult, 1, 0, false},
};

long FramesAtApproval = -1, FramesLater = -1;
char TitleAfter[64];

// What every saver window shows from inside its own loop.
void ExpectWindow(DWORD style, const char* title, HWND parent) {
  EXPECT_EQ(DWORD(GetWindowLongA(SaverWindow, GWL_STYLE)), style);
  EXPECT_EQ((GetWindowLongA(SaverWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, parent == nullptr);
  char text[64];
  GetWindowTextA(SaverWindow, text, sizeof text);
  EXPECT_STREQ(text, title);
  EXPECT_EQ(GetParent(SaverWindow), parent);
  EXPECT_EQ(PreviewMode, parent != nullptr);
  EXPECT_GT(FramesSwapped, 0);
  WNDCLASSA c;
  ASSERT_TRUE(GetClassInfoA(ModuleInstance, "WindowsScreenSaverClass", &c));
  EXPECT_EQ(c.style, 0x2Bu);
  EXPECT_EQ(c.lpfnWndProc, HostWindowProc);
  EXPECT_EQ(c.cbClsExtra + c.cbWndExtra, 0);
  EXPECT_EQ(c.hInstance, ModuleInstance);
  EXPECT_NE(c.hIcon, nullptr);
  EXPECT_EQ(c.hIcon, LoadIconA(ModuleInstance, MAKEINTRESOURCEA(100)));
  EXPECT_EQ(c.hCursor, nullptr);
  EXPECT_EQ(c.hbrBackground, GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(c.lpszMenuName, nullptr);
}

void FullScreenScript(int tick) {
  if (tick == 10) {
    ExpectWindow(0x96000000u, "Screen Saver", nullptr);
    EXPECT_EQ(GetForegroundWindow(), SaverWindow);
    RECT rect, clip;
    GetWindowRect(SaverWindow, &rect);
    HDC screen = GetDC(nullptr);
    GetClipBox(screen, &clip);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(EqualRect(&rect, &clip));
    // While the window is created the input method is detached (no context)
    // and the cursor hidden; then the window is brought forward.
    size_t hidden = 0;
    while (hidden < EventCount() && EventAt(hidden).kind != CursorHidden) ++hidden;
    const size_t detach = FindCall("ImmAssociateContext"), forward = FindCall("SetForegroundWindow");
    ASSERT_LT(forward, EventCount());
    EXPECT_LT(hidden, forward);
    EXPECT_LT(detach, forward);
    EXPECT_EQ(CountCalls("ImmAssociateContext"), 1u);
    EXPECT_EQ(EventAt(detach).message, 0u);
    EXPECT_EQ(EventAt(detach).wParam, WPARAM(SaverWindow));
    EXPECT_EQ(EventAt(forward).wParam, WPARAM(SaverWindow));

    SendRows(WhileRunning, sizeof WhileRunning / sizeof WhileRunning[0]);
    GetWindowTextA(SaverWindow, TitleAfter, sizeof TitleAfter);
    CloseApproved = 1;
    FramesAtApproval = FramesSwapped;
    for (int i = 0; i < 5; ++i) RealPostMessageA(SaverWindow, WM_TIMER, FrameTimerId, 0);
    SendRows(OnceApproved, sizeof OnceApproved / sizeof OnceApproved[0]);
  }
  if (tick == 20) {
    FramesLater = FramesSwapped;
    SendMessageA(SaverWindow, WM_CLOSE, 0, 0);
  }
}

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
                         nullptr, nullptr, windowClass.hInstance, nullptr);
}

TEST_F(HostWindow, FullScreenWindowAndWhatItsProcedureConsumesPassesOnOrLeavesToTheDefault) {
  ASSERT_NE(CreateOtherSaver("Preview"), nullptr);  // a preview is no running saver
  HMODULE imm = LoadLibraryA("IMM32.DLL");
  ClearEvents();
  const ScriptedRun run = RunSaverScripted(nullptr, FullScreenScript);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  // The saved input context is given back at destruction (when there was one).
  EXPECT_EQ(ImeModule, imm);
  const size_t restore = FindCall("ImmAssociateContext");
  if (SavedInputContext != nullptr) {
    ASSERT_LT(restore, EventCount());
    EXPECT_EQ(EventAt(restore).message, 1u);
    EXPECT_EQ(EventAt(restore).wParam, WPARAM(SaverWindow));
  } else {
    EXPECT_EQ(restore, EventCount());
  }
  ExpectRowsAsSent();
  EXPECT_STREQ(TitleAfter, "Screen Saver");
  EXPECT_GT(FramesAtApproval, 0);
  EXPECT_EQ(FramesLater, FramesAtApproval);  // the queued timers drew nothing
  EXPECT_EQ(CancelAutoPlayMsg, 0u);          // not Windows 9x
}

// --- the preview window ------------------------------------------------------

HWND Owner;
HELPINFO Help = {sizeof(HELPINFO), HELPINFO_WINDOW, 0, nullptr, 0, {150, 130}};
int OwnerHelpCountDuringSend = -1;

const MessageRow InPreview[] = {
    {"next window", WM_SYSCOMMAND, SC_NEXTWINDOW, 0, AnyResult, 1, 0, false},
    {"title change", WM_SETTEXT, 0, LPARAM("Changed"), 0, 0, 0, false},
    {"help", WM_HELP, 0, LPARAM(&Help), 1, 0, 0, false},
    {"context menu", WM_CONTEXTMENU, 0, MAKELPARAM(150, 130), 1, 0, 0, false},
};

void PreviewScript(int tick) {
  if (tick == 10) {
    ExpectWindow(0x52000000u, "Preview", Owner);
    RECT rect;
    GetWindowRect(SaverWindow, &rect);
    EXPECT_EQ(rect.right - rect.left, 320);
    EXPECT_EQ(rect.bottom - rect.top, 240);
    Help.hItemHandle = SaverWindow;
    SendRows(InPreview, 3);
    OwnerHelpCountDuringSend = OwnerMessageCount;  // the HELPINFO is alive only now
    SendRows(InPreview + 3, 1);
    GetWindowTextA(SaverWindow, TitleAfter, sizeof TitleAfter);
  }
  if (tick == 15) DestroyWindow(SaverWindow);
}

TEST_F(HostWindow, PreviewIsAChildOfItsOwnerThatForwardsHelpAndNeverArmsThePassword) {
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  Owner = CreatePreviewOwner(320, 240);
  ASSERT_NE(Owner, nullptr);
  ClearEvents();
  const ScriptedRun run = RunSaverScripted(Owner, PreviewScript);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 0);
  ExpectRowsAsSent();
  EXPECT_STREQ(TitleAfter, "Preview");
  EXPECT_EQ(CountEvents(CursorHidden, 0), 0u);
  EXPECT_EQ(CountCalls("SetForegroundWindow"), 0u);
  EXPECT_EQ(CountCalls("LoadLibraryA"), 0u);
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(CancelAutoPlayMsg, RegisterWindowMessageA("QueryCancelAutoPlay"));  // Windows 9x
  EXPECT_EQ(OwnerHelpCountDuringSend, 1);
  ASSERT_EQ(OwnerMessageCount, 2);
  EXPECT_EQ(OwnerMessages[0].message, UINT(WM_HELP));
  EXPECT_EQ(OwnerMessages[0].wParam, WPARAM(Owner));
  EXPECT_EQ(OwnerMessages[0].lParam, LPARAM(&Help));
  EXPECT_EQ(OwnerMessages[1].message, UINT(WM_CONTEXTMENU));
  EXPECT_EQ(OwnerMessages[1].wParam, WPARAM(Owner));
  EXPECT_EQ(OwnerMessages[1].lParam, MAKELPARAM(150, 130));
  EXPECT_TRUE(IsWindow(Owner));
}

// --- no second saver, no window ----------------------------------------------

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
  const DWORD start = GetTickCount();
  const ScriptedRun run = RunSaverScripted(nullptr, NeverRuns, 5000);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(SaverWindow, nullptr);
  EXPECT_EQ(GetForegroundWindow(), first);
  // The only system call: the first saver to the foreground.  No registry
  // read, no library load.
  const Event expected[] = {{SystemCall, 0, WPARAM(first), "SetForegroundWindow"}};
  std::vector<Event> calls;
  for (size_t i = 0; i < EventCount(); ++i)
    if (EventAt(i).kind == SystemCall) calls.push_back(EventAt(i));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].wParam, expected[0].wParam);
  EXPECT_STREQ(calls[0].text, expected[0].text);
  EXPECT_EQ(PasswordModule, nullptr);
}

// An owner that is gone, then a class that cannot be registered (the first
// attempt already registered it): -1 each time, and the password component
// armed for the second is released again.
TEST_F(HostWindow, WithoutAWindowNoLoopRunsAndTheResultIsMinusOne) {
  HWND gone = CreatePreviewOwner(100, 100);
  DestroyWindow(gone);
  EXPECT_EQ(RunSaverScripted(gone, NeverRuns, 5000).exitCode, -1);
  EXPECT_EQ(SaverWindow, nullptr);

  PreviewMode = 0;
  Win9xPlatform = 1;
  registry.SetUsePassword(1);
  ClearEvents();
  EXPECT_EQ(RunSaverScripted(nullptr, NeverRuns, 5000).exitCode, -1);
  EXPECT_EQ(SaverWindow, nullptr);
  EXPECT_EQ(FindCall("LoadLibraryA:PASSWORD.CPL") < EventCount(), true);
  EXPECT_EQ(PasswordModule, nullptr);
  EXPECT_EQ(PasswordVerifier, nullptr);
  EXPECT_EQ(GetModuleHandleA("PASSWORD.CPL"), nullptr);
  EXPECT_EQ(CountEvents(SystemCall, 97), 2u);  // running state on, then off again
}

// --- the input method --------------------------------------------------------

TEST_F(HostWindow, InputMethodIsLeftAloneWhenNotLoaded) {
  // Wine loads IMM32.DLL into every process; the host's question for it is
  // answered "not loaded" here, as in a process without it.
  HideInputMethodLibrary = true;
  ClearEvents();
  EXPECT_EQ(RunSaverScripted(nullptr, [](int tick) {
              if (tick == 5) DestroyWindow(SaverWindow);
            }).exitCode,
            0);
  EXPECT_EQ(ImeModule, nullptr);
  EXPECT_EQ(ImeAssociate, nullptr);
  EXPECT_EQ(CountCalls("ImmAssociateContext"), 0u);
  EXPECT_EQ(CountCalls("LoadLibraryA"), 0u);
}

}  // namespace
