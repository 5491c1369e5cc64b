// The built quillara.scr started with exact command lines: which window
// appears, who owns it, and the exit code.  Every started process is closed
// or terminated before the test ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "tests/startup/ProcessHarness.h"

namespace {

const std::string Scr = WindowsPath(QUILLARA_SCR_PATH);
constexpr DWORD Patience = 15000;
constexpr uint64_t Wrap = 1ull << 32;

enum class Outcome { FullScreen, Preview, Dialog, MinusOne };
enum class Owner { None, Other, Foreground };  // of the dialog

struct Row {
  const char* line;  // {name} stands for a value of the test's windows
  Outcome outcome;
  Owner owner;
};

// clang-format off
const Row Rows[] = {
    {"quillara.scr", Outcome::Dialog, Owner::None},
    {"{scr}", Outcome::Dialog, Owner::None},
    {"{scr}   ", Outcome::Dialog, Owner::None},
    {"\"{path} /s", Outcome::Dialog, Owner::None},  // unterminated quote: all of it is the name
    {"quillara.scr /c:{other}", Outcome::Dialog, Owner::Other},
    {"quillara.scr /C:{other+wrap}", Outcome::Dialog, Owner::Other},
    {"quillara.scr /c {other}", Outcome::Dialog, Owner::Foreground},  // read only after a colon
    {"quillara.scr /c", Outcome::Dialog, Owner::Foreground},
    {"quillara.scr /c:{gone}", Outcome::Dialog, Owner::Foreground},
    {"quillara.scr /c:0", Outcome::Dialog, Owner::Foreground},
    {"quillara.scr /s", Outcome::FullScreen}, {"quillara.scr -s", Outcome::FullScreen},
    {"quillara.scr s", Outcome::FullScreen}, {"quillara.scr /S", Outcome::FullScreen},
    {"quillara.scr //s", Outcome::FullScreen}, {"quillara.scr -/s", Outcome::FullScreen},
    {"quillara.scr / s", Outcome::FullScreen},
    {"quillara.scr \t  \t/s", Outcome::FullScreen},
    {"quillara.scr /s /p 12 /c whatever", Outcome::FullScreen},
    {"\t/s", Outcome::FullScreen},  // a first byte at or below the space skips no name
    {"{scr}/s", Outcome::FullScreen},
    {"quillara.scr /p {host}", Outcome::Preview}, {"quillara.scr /P{host}", Outcome::Preview},
    {"quillara.scr /p      {host}", Outcome::Preview}, {"quillara.scr /l {host}", Outcome::Preview},
    {"quillara.scr /p {host+wrap}", Outcome::Preview},
    {"quillara.scr /p {host+7wrap}", Outcome::Preview},
    {"quillara.scr /p 000000000000{host}", Outcome::Preview},
    {"quillara.scr /p {gone}", Outcome::MinusOne}, {"quillara.scr /p 0", Outcome::MinusOne},
    {"quillara.scr /p", Outcome::MinusOne},
    {"quillara.scr /p:{host}", Outcome::MinusOne},   // read from the colon: 0
    {"quillara.scr /p\t{host}", Outcome::MinusOne},  // only spaces are skipped
    {"quillara.scr /p {gone+wrap}", Outcome::MinusOne},
    {"quillara.scr /x", Outcome::MinusOne}, {"quillara.scr /1", Outcome::MinusOne},
    {"quillara.scr /\ts", Outcome::MinusOne}, {"quillara.scr /\xE9s", Outcome::MinusOne},
    {"quillara.scr \xFF/s", Outcome::MinusOne}, {"quillara.scr +s", Outcome::MinusOne},
    {"quillara.scr /a {host}", Outcome::MinusOne},  // the password change is Windows 9x only
    {"quillara.scr -A", Outcome::MinusOne},
};
// clang-format on

uint64_t HandleValue(HWND window) {
  return static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(window));
}

bool IsFullScreenSaver(HWND window) {
  return WindowClass(window) == "WindowsScreenSaverClass" && WindowTitle(window) == "Screen Saver";
}

bool IsConfigDialog(HWND window) {
  return WindowClass(window) == "#32770" && WindowTitle(window) == "Quillara!" &&
         IsWindowVisible(window);
}

HWND FindPreviewIn(HWND parent) {
  return FindWindowExA(parent, nullptr, "WindowsScreenSaverClass", nullptr);
}

// Starts the program and checks the window it shows, then closes that
// window (Cancel for the dialog: these processes use the prefix's real
// registry) and expects exit code 0; or expects -1 and no window.
void ExpectOutcome(const std::string& program, const std::string& line, Outcome outcome, HWND host,
                   HWND owner) {
  SCOPED_TRACE("command line: " + line);
  ChildProcess saver;
  ASSERT_TRUE(saver.Start(program, line));
  HWND window = nullptr;
  if (outcome == Outcome::MinusOne) {
    EXPECT_EQ(static_cast<DWORD>(-1), saver.WaitForExit(Patience));
    EXPECT_EQ(nullptr, FindPreviewIn(host));
    return;
  } else if (outcome == Outcome::FullScreen) {
    window = saver.WaitForWindow(IsFullScreenSaver, Patience);
    ASSERT_NE(nullptr, window) << "no full-screen saver window";
    RECT area;
    GetWindowRect(window, &area);
    EXPECT_EQ(0, area.left);
    EXPECT_EQ(0, area.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), area.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), area.bottom);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  } else if (outcome == Outcome::Preview) {
    window = WaitUntilFound([&] { return FindPreviewIn(host); }, Patience);
    ASSERT_NE(nullptr, window) << "no preview inside the window";
    EXPECT_EQ("Preview", WindowTitle(window));
    EXPECT_EQ(saver.id(), WindowProcess(window));
    RECT inside, outside;
    GetClientRect(window, &inside);
    GetClientRect(host, &outside);
    EXPECT_EQ(outside.right, inside.right);
    EXPECT_EQ(outside.bottom, inside.bottom);
  } else {
    HWND dialog = saver.WaitForWindow(IsConfigDialog, Patience);
    ASSERT_NE(nullptr, dialog) << "no configuration dialog";
    EXPECT_EQ(owner, GetWindow(dialog, GW_OWNER));
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  }
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, saver.WaitForExit(Patience));
  EXPECT_EQ(nullptr, FindPreviewIn(host));
}

// Runs every row with the given outcome.
void RunRows(Outcome outcome) {
  HWND host = CreateTestWindow("preview host", 320, 240);
  HWND other = CreateTestWindow("not the owner");
  HWND gone = CreateTestWindow("gone");
  ASSERT_TRUE(host && other && gone);
  const uint64_t goneValue = HandleValue(gone);
  DestroyWindow(gone);
  const std::map<std::string, std::string> values = {
      {"{scr}", "\"" + Scr + "\""},
      {"{path}", Scr},
      {"{host}", std::to_string(HandleValue(host))},
      {"{host+wrap}", std::to_string(HandleValue(host) + Wrap)},
      {"{host+7wrap}", std::to_string(HandleValue(host) + 7 * Wrap)},
      {"{other}", std::to_string(HandleValue(other))},
      {"{other+wrap}", std::to_string(HandleValue(other) + Wrap)},
      {"{gone}", std::to_string(goneValue)},
      {"{gone+wrap}", std::to_string(goneValue + Wrap)},
  };
  for (const Row& row : Rows) {
    if (row.outcome != outcome) continue;
    std::string line = row.line;
    for (const auto& [name, value] : values) {
      for (size_t at; (at = line.find(name)) != std::string::npos;)
        line.replace(at, name.size(), value);
    }
    HWND owner = row.owner == Owner::Other        ? other
                 : row.owner == Owner::Foreground ? host
                                                  : nullptr;
    if (row.owner == Owner::Foreground) {
      SetForegroundWindow(host);
      PumpMessages(50);
      ASSERT_EQ(host, GetForegroundWindow()) << "the test cannot make its window the foreground";
    }
    ExpectOutcome(Scr, line, outcome, host, owner);
  }
  DestroyWindow(other);
  DestroyWindow(host);
}

}  // namespace

TEST(ScrCommandLine, DialogRows) { RunRows(Outcome::Dialog); }
TEST(ScrCommandLine, FullScreenRows) { RunRows(Outcome::FullScreen); }
TEST(ScrCommandLine, PreviewRows) { RunRows(Outcome::Preview); }
TEST(ScrCommandLine, MinusOneRows) { RunRows(Outcome::MinusOne); }

TEST(ScrCommandLine, QuotedPathWithSpacesIsSkippedWhole) {
  char temp[MAX_PATH];
  ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
  std::string folder = std::string(temp) + "quillara dir " + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string copy = folder + "\\quillara saver.scr";
  ASSERT_TRUE(CopyFileA(Scr.c_str(), copy.c_str(), FALSE));
  HWND host = CreateTestWindow("preview host");
  const std::string quoted = "\"" + copy + "\"";
  ExpectOutcome(copy, quoted + " /p " + std::to_string(HandleValue(host)), Outcome::Preview, host,
                nullptr);
  ExpectOutcome(copy, quoted, Outcome::Dialog, host, nullptr);
  DestroyWindow(host);
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(ScrCommandLine, SecondFullScreenStartLeavesTheFirstAndEndsWithZero) {
  ChildProcess first;
  ASSERT_TRUE(first.Start(Scr, "quillara.scr /s"));
  HWND window = first.WaitForWindow(IsFullScreenSaver, Patience);
  ASSERT_NE(nullptr, window);
  ChildProcess second;
  ASSERT_TRUE(second.Start(Scr, "quillara.scr /s"));
  EXPECT_EQ(0u, second.WaitForExit(Patience));
  EXPECT_TRUE(IsWindow(window)) << "the running saver stays";
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, first.WaitForExit(Patience));
}
