// The closing rules of DefaultSaverProc, driven through a real window with
// real messages: what is posted, what falls to DefWindowProcA, and when the
// cursor is hidden.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/DefaultSaverProc.h"
#include "host/HostState.h"
#include "tests/host/EventLog.h"
#include "tests/host/TestKit.h"

namespace {

const UINT VerifyPasswordMessage = 0x8000;
const LPARAM AltDown = LPARAM(1) << 29;

enum Effect { Closes, DefaultOnly, HidesCursor, HidesThenDefault };

struct Row {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  Effect fullScreen;  // in a running full-screen saver; in every other state DefaultOnly
};

const Row Rows[] = {
    {"key A", WM_KEYDOWN, 'A', 0x001E0001, Closes},
    {"Escape", WM_KEYDOWN, VK_ESCAPE, 0x00010001, Closes},
    {"Shift", WM_KEYDOWN, VK_SHIFT, 0x002A0001, Closes},
    {"Alt+Q", WM_SYSKEYDOWN, 'Q', 0x00100001 | AltDown, Closes},
    {"left button", WM_LBUTTONDOWN, MK_LBUTTON, 0, Closes},
    {"right button", WM_RBUTTONDOWN, MK_RBUTTON, 0, Closes},
    {"middle button", WM_MBUTTONDOWN, MK_MBUTTON, 0, Closes},
    {"activation lost", WM_ACTIVATEAPP, 0, 0, Closes},
    {"critical resume", WM_POWER, 3, 0, Closes},
    {"query suspend", WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, Closes},
    {"suspend", WM_POWERBROADCAST, PBT_APMSUSPEND, 0, Closes},
    {"resume critical", WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 0, Closes},
    {"resume", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, Closes},
    {"battery low", WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0, Closes},
    {"power status", WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, Closes},
    {"resume automatic", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, Closes},
    {"power setting", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, Closes},
    {"unknown power event", WM_POWERBROADCAST, 12345, 0, Closes},
    {"activation gained", WM_ACTIVATEAPP, 1, 0, DefaultOnly},
    {"suspend request", WM_POWER, 1, 0, DefaultOnly},
    {"suspend resume", WM_POWER, 2, 0, DefaultOnly},
    {"key release", WM_KEYUP, 'A', LPARAM(0xC01E0001u), DefaultOnly},
    {"Alt+Q release", WM_SYSKEYUP, 'Q', LPARAM(0xC0100001u) | AltDown, DefaultOnly},
    {"character", WM_CHAR, 'a', 0x001E0001, DefaultOnly},
    {"left release", WM_LBUTTONUP, 0, 0, DefaultOnly},
    {"middle release", WM_MBUTTONUP, 0, 0, DefaultOnly},
    {"left double-click", WM_LBUTTONDBLCLK, MK_LBUTTON, 0, DefaultOnly},
    {"right double-click", WM_RBUTTONDBLCLK, MK_RBUTTON, 0, DefaultOnly},
    {"middle double-click", WM_MBUTTONDBLCLK, MK_MBUTTON, 0, DefaultOnly},
    {"wheel", WM_MOUSEWHEEL, WHEEL_DELTA << 16, 0, DefaultOnly},
    {"null message", WM_NULL, 0, 0, DefaultOnly},
    {"set cursor", WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), HidesCursor},
    {"shown", WM_SHOWWINDOW, 1, 0, HidesThenDefault},
    {"hidden", WM_SHOWWINDOW, 0, 0, DefaultOnly},
};

class ClosingRules : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRecordingHooks();
    PlaceCursor(Anchor.x, Anchor.y);
    OpenWindow();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
  }
  void OpenWindow() {
    if (IsWindow(window)) DestroyWindow(window);
    window = CreateRecordingWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    SwallowClose = true;  // a stray activation change while settling must not end it
    PumpFor(150);
    SwallowClose = false;
    ASSERT_TRUE(IsWindow(window));
    TakeQueued(window, WM_CLOSE);
    ClearEvents();
  }
  // Sends one message; the recorded sequence must be `effect`'s.
  void ExpectEffect(const char* name, UINT message, WPARAM wParam, LPARAM lParam, Effect effect) {
    SCOPED_TRACE(name);
    ClearEvents();
    const LRESULT result = SendMessageA(window, message, wParam, lParam);
    std::vector<Event> expected = {{Received, message, wParam}};
    if (effect == Closes) expected.push_back({Posted, WM_CLOSE, 0});
    if (effect == HidesCursor || effect == HidesThenDefault) expected.push_back({CursorHidden});
    if (effect != HidesCursor) expected.push_back({ReachedDefault, message, wParam});
    EXPECT_TRUE(MatchesSequence(expected.data(), expected.size()));
    if (effect == HidesCursor) EXPECT_EQ(result, 1);
    if (effect == Closes) EXPECT_EQ(result, 0);
    EXPECT_EQ(TakeQueued(window, WM_CLOSE), effect == Closes ? 1 : 0);
  }

  const POINT Anchor = {640, 512};
  HWND window = nullptr;
};

TEST_F(ClosingRules, TriggersCloseOnlyARunningFullScreenSaver) {
  const struct {
    const char* name;
    int preview, checking, approved;
  } states[] = {{"full screen", 0, 0, 0},
                {"preview", 1, 0, 0},
                {"password check running", 0, 1, 0},
                {"close approved", 0, 0, 1}};
  for (const auto& state : states) {
    SCOPED_TRACE(state.name);
    PreviewMode = state.preview;
    CheckInProgress = state.checking;
    CloseApproved = state.approved;
    for (const Row& row : Rows) {
      const bool running = state.preview + state.checking + state.approved == 0;
      const WPARAM wParam = row.message == WM_SETCURSOR ? WPARAM(window) : row.wParam;
      ExpectEffect(row.name, row.message, wParam, row.lParam, running ? row.fullScreen : DefaultOnly);
    }
  }
  EXPECT_EQ(GetCursor(), nullptr);
}

// What an explicit WM_CLOSE does in each state.
TEST_F(ClosingRules, WmCloseDestroysUnlessAPasswordCheckRuns) {
  const struct {
    const char* name;
    int win9x, preview, checking, approved;
    bool destroyed;
    int approvedAfter;
  } rows[] = {
      {"NT full screen: no approval needed", 0, 0, 0, 0, true, 0},
      {"9x preview", 1, 1, 0, 0, true, 0},
      {"9x without a verifier: approved at once", 1, 0, 0, 0, true, 1},
      {"9x, already approved", 1, 0, 0, 1, true, 1},
      {"9x, nested in a running check: refused", 1, 0, 1, 0, false, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    OpenWindow();
    Win9xPlatform = row.win9x;
    PreviewMode = row.preview;
    CheckInProgress = row.checking;
    CloseApproved = row.approved;
    SetCursorPos(Anchor.x + 3, Anchor.y);  // within tolerance: no close of its own
    PumpFor(50);
    ClearEvents();
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(!IsWindow(window), row.destroyed);
    EXPECT_EQ(CloseApproved, row.approvedAfter);
    EXPECT_EQ(EventAt(0).message, UINT(WM_CLOSE));
    EXPECT_EQ(CountEvents(ReachedDefault, WM_CLOSE), row.destroyed ? 1u : 0u);
    EXPECT_EQ(CountEvents(Received, WM_DESTROY), row.destroyed ? 1u : 0u);
    // A refused close measures movement afresh from the cursor.
    EXPECT_EQ(MouseAnchor.x, row.destroyed ? Anchor.x : Anchor.x + 3);
    MouseAnchor = Anchor;
    SetCursorPos(Anchor.x, Anchor.y);
  }
}

int VerifierCalls = 0;
HWND VerifierWindow = nullptr;
BOOL WINAPI AnswerSeven(HWND window) {
  ++VerifierCalls;
  VerifierWindow = window;
  return 7;
}

TEST_F(ClosingRules, TheVerifyRequestIsTheVerifiersOnWin9xEvenDuringTheCheck) {
  const struct {
    const char* name;
    int win9x, checking;
    BOOL(WINAPI* verifier)(HWND);
    LRESULT result;
    bool toDefault;
  } rows[] = {
      {"NT: the platform default", 0, 0, nullptr, 0, true},
      {"9x without a verifier, during the check: may leave", 1, 1, nullptr, 1, false},
      {"9x: the verifier's answer", 1, 0, AnswerSeven, 7, false},
      {"9x during the check: the verifier's answer", 1, 1, AnswerSeven, 7, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Win9xPlatform = row.win9x;
    CheckInProgress = row.checking;
    PasswordVerifier = row.verifier;
    ClearEvents();
    const int callsBefore = VerifierCalls;
    EXPECT_EQ(SendMessageA(window, VerifyPasswordMessage, 0, 0), row.result);
    EXPECT_EQ(CountEvents(ReachedDefault, VerifyPasswordMessage), row.toDefault ? 1u : 0u);
    EXPECT_EQ(VerifierCalls - callsBefore, row.verifier ? 1 : 0);
  }
  EXPECT_EQ(VerifierWindow, window);
  EXPECT_EQ(CloseApproved, 0);  // only ApproveClose approves
}

// The shell's AutoPlay query: the saver closes, and AutoPlay is cancelled
// exactly when a password verifier is loaded, in every mode.
TEST_F(ClosingRules, AutoPlayClosesAndIsCancelledOnlyWithAVerifier) {
  Win9xPlatform = 1;
  const UINT query = RegisterWindowMessageA("QueryCancelAutoPlay");
  ASSERT_NE(query, 0u);
  const struct {
    const char* name;
    bool verifier;
    int preview, approved;
    LRESULT answer;
  } rows[] = {{"without verifier", false, 0, 0, 0}, {"with verifier", true, 0, 0, 1},
              {"in preview", true, 1, 0, 1},        {"after approval", true, 0, 1, 1},
              {"after approval, no verifier", false, 0, 1, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CancelAutoPlayMsg = query;
    PasswordVerifier = row.verifier ? AnswerSeven : nullptr;
    PreviewMode = row.preview;
    CloseApproved = row.approved;
    ClearEvents();
    const Event expected[] = {{Received, query, 0}, {Posted, WM_CLOSE, 0}};
    EXPECT_EQ(SendMessageA(window, query, 0, 0), row.answer);
    EXPECT_TRUE(MatchesSequence(expected));
    EXPECT_EQ(TakeQueued(window, WM_CLOSE), 1);
  }
  EXPECT_EQ(VerifierCalls, 0);
  // Not registered: message 0 is no query.
  CancelAutoPlayMsg = 0;
  ExpectEffect("null message", WM_NULL, 0, 0, DefaultOnly);
}

// --- the mouse rule, with the real cursor ------------------------------------

TEST_F(ClosingRules, RealMovesCloseOncePastFourPixelsFromTheAnchor) {
  SwallowClose = true;
  // A window coming up under a still cursor gets a move from the system,
  // which must not close it.
  DestroyWindow(window);
  PumpFor(50);
  ClearEvents();
  window = CreateRecordingWindow();
  SetForegroundWindow(window);
  EXPECT_TRUE(PumpUntil([] { return CountEvents(Received, WM_MOUSEMOVE) > 0; }, 2000));
  PumpFor(200);
  EXPECT_EQ(CountEvents(Posted, WM_CLOSE), 0u);
  EXPECT_EQ(MouseAnchor.x, Anchor.x);
  EXPECT_EQ(MouseAnchor.y, Anchor.y);
  // The message's own (client) coordinates are not what counts.
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  const struct {
    int dx, dy;  // from the first anchor
    int previewMode;
    size_t closes;  // posted so far
    int anchorDx, anchorDy;
  } moves[] = {
      {2, 0, 0, 0, 0, 0},   {4, 0, 0, 0, 0, 0},   {3, -1, 0, 0, 0, 0},  // small moves add up
      {0, -4, 0, 0, 0, 0},  {-2, 2, 0, 0, 0, 0},  {-1, -3, 0, 0, 0, 0},  // exactly 4 stays
      {3, 2, 0, 1, 3, 2},                                               // 5: closes, new anchor
      {7, 2, 0, 1, 3, 2},   {8, 2, 0, 2, 8, 2},   {3, 2, 0, 3, 3, 2},
      {203, 102, 1, 3, 3, 2},  // a preview never closes
  };
  std::vector<std::string> expected, recorded;
  for (const auto& move : moves) {
    PreviewMode = move.previewMode;
    const size_t seen = CountEvents(Received, WM_MOUSEMOVE);
    SetCursorPos(Anchor.x + move.dx, Anchor.y + move.dy);
    const bool arrived = PumpUntil([&] { return CountEvents(Received, WM_MOUSEMOVE) > seen; }, 3000);
    PumpFor(30);
    char line[96];
    std::snprintf(line, sizeof line, "(%+d, %+d): %zu closes, anchor (%+d, %+d)", move.dx, move.dy,
                  move.closes, move.anchorDx, move.anchorDy);
    expected.push_back(line);
    std::snprintf(line, sizeof line, "(%+d, %+d): %zu closes, anchor (%+d, %+d)%s", move.dx,
                  move.dy, CountEvents(Posted, WM_CLOSE), int(MouseAnchor.x - Anchor.x),
                  int(MouseAnchor.y - Anchor.y), arrived ? "" : " (no WM_MOUSEMOVE)");
    recorded.push_back(line);
  }
  std::string lists = "expected:\n";
  for (const std::string& line : expected) lists += "  " + line + "\n";
  lists += "recorded:\n";
  for (const std::string& line : recorded) lists += "  " + line + "\n";
  EXPECT_EQ(expected, recorded) << lists;
  EXPECT_EQ(CountEvents(Received, WM_CLOSE), 3u);  // the posted closes arrived
}

}  // namespace
