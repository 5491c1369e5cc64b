// The built quillara.scr started with exact command lines: which window
// appears, who owns it, and the exit code.  Every started process is closed
// or terminated before the test ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "tests/startup/ProcessHarness.h"

namespace {

const std::string Scr = WindowsPath(QUILLARA_SCR_PATH);
constexpr DWORD Patience = 15000;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string Number(uint64_t value) { return std::to_string(value); }
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

// Starts the saver with the given text after the program name; expects the
// full-screen saver window, closes it and expects exit code 0.
void ExpectFullScreen(const std::string& commandLine) {
  SCOPED_TRACE("command line: " + commandLine);
  ChildProcess saver;
  ASSERT_TRUE(saver.Start(Scr, commandLine));
  HWND window = saver.WaitForWindow(IsFullScreenSaver, Patience);
  ASSERT_NE(nullptr, window) << "no full-screen saver window";
  RECT area;
  GetWindowRect(window, &area);
  EXPECT_EQ(0, area.left);
  EXPECT_EQ(0, area.top);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), area.right);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), area.bottom);
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, saver.WaitForExit(Patience));
}

// Expects the preview child inside parent, closes it and expects exit 0.
void ExpectPreview(const std::string& application, const std::string& commandLine, HWND parent) {
  SCOPED_TRACE("command line: " + commandLine);
  ChildProcess saver;
  ASSERT_TRUE(saver.Start(application, commandLine));
  HWND preview = WaitUntilFound([&] { return FindPreviewIn(parent); }, Patience);
  ASSERT_NE(nullptr, preview) << "no preview inside the window";
  EXPECT_EQ("Preview", WindowTitle(preview));
  EXPECT_EQ(saver.id(), WindowProcess(preview));
  EXPECT_EQ(parent, GetParent(preview));
  RECT inside, outside;
  GetClientRect(preview, &inside);
  GetClientRect(parent, &outside);
  EXPECT_EQ(outside.right, inside.right);
  EXPECT_EQ(outside.bottom, inside.bottom);
  PostMessageA(preview, WM_CLOSE, 0, 0);
  EXPECT_EQ(0u, saver.WaitForExit(Patience));
  EXPECT_EQ(nullptr, FindPreviewIn(parent));
}

// Expects the dialog, checks its owner, presses Cancel and expects exit 0.
void ExpectDialogOwnedBy(const std::string& application, const std::string& commandLine,
                         HWND owner) {
  SCOPED_TRACE("command line: " + commandLine);
  ChildProcess saver;
  ASSERT_TRUE(saver.Start(application, commandLine));
  HWND dialog = saver.WaitForWindow(IsConfigDialog, Patience);
  ASSERT_NE(nullptr, dialog) << "no configuration dialog";
  EXPECT_EQ(owner, GetWindow(dialog, GW_OWNER));
  // Cancel only: these processes use the prefix's real registry.
  PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_EQ(0u, saver.WaitForExit(Patience));
}

void ExpectExitMinusOne(const std::string& commandLine) {
  SCOPED_TRACE("command line: " + commandLine);
  ChildProcess saver;
  ASSERT_TRUE(saver.Start(Scr, commandLine));
  EXPECT_EQ(static_cast<DWORD>(-1), saver.WaitForExit(Patience));
}

}  // namespace

TEST(ScrCommandLine, NothingAfterTheNameShowsTheDialogWithoutOwner) {
  ExpectDialogOwnedBy(Scr, "quillara.scr", nullptr);
  ExpectDialogOwnedBy(Scr, Quoted(Scr), nullptr);
  ExpectDialogOwnedBy(Scr, Quoted(Scr) + "   ", nullptr);
}

TEST(ScrCommandLine, UnterminatedQuoteShowsTheDialogWithoutOwner) {
  ExpectDialogOwnedBy(Scr, "\"" + Scr + " /s", nullptr);
}

TEST(ScrCommandLine, SaverSwitchesWithSlashesAndDashes) {
  for (const char* tail : {"/s", "-s", "s", "/S", "//s", "-/s", "/ s"})
    ExpectFullScreen("quillara.scr " + std::string(tail));
}

TEST(ScrCommandLine, SaverAfterBlanksTabsAndWithTrailingText) {
  ExpectFullScreen("quillara.scr \t  \t/s");
  ExpectFullScreen("quillara.scr /s /p 12 /c whatever");
  ExpectFullScreen("\t/s");  // a first byte at or below the space skips no name
  ExpectFullScreen(Quoted(Scr) + "/s");
}

TEST(ScrCommandLine, PreviewInsideALiveWindow) {
  HWND host = CreateTestWindow("preview host", 320, 240);
  ASSERT_NE(nullptr, host);
  const std::string handle = Number(HandleValue(host));
  ExpectPreview(Scr, "quillara.scr /p " + handle, host);
  ExpectPreview(Scr, "quillara.scr /P" + handle, host);
  ExpectPreview(Scr, "quillara.scr /p      " + handle, host);
  ExpectPreview(Scr, "quillara.scr /l " + handle, host);
  DestroyWindow(host);
}

TEST(ScrCommandLine, PreviewHandleOfMoreThanTenDigitsWraps) {
  HWND host = CreateTestWindow("preview host", 200, 150);
  ASSERT_NE(nullptr, host);
  const uint64_t value = HandleValue(host);
  ExpectPreview(Scr, "quillara.scr /p " + Number(value + (1ull << 32)), host);
  ExpectPreview(Scr, "quillara.scr /p " + Number(value + 7 * (1ull << 32)), host);
  ExpectPreview(Scr, "quillara.scr /p 000000000000" + Number(value), host);
  DestroyWindow(host);
}

TEST(ScrCommandLine, QuotedPathWithSpacesIsSkippedWhole) {
  char temp[MAX_PATH];
  ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
  std::string folder = std::string(temp) + "quillara dir " + Number(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string copy = folder + "\\quillara saver.scr";
  ASSERT_TRUE(CopyFileA(Scr.c_str(), copy.c_str(), FALSE));
  HWND host = CreateTestWindow("preview host");
  ExpectPreview(copy, Quoted(copy) + " /p " + Number(HandleValue(host)), host);
  ExpectDialogOwnedBy(copy, Quoted(copy), nullptr);
  DestroyWindow(host);
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(ScrCommandLine, PreviewWithoutALiveWindowFails) {
  HWND host = CreateTestWindow("preview host");
  const std::string handle = Number(HandleValue(host));
  HWND gone = CreateTestWindow("gone");
  const std::string goneHandle = Number(HandleValue(gone));
  DestroyWindow(gone);
  ExpectExitMinusOne("quillara.scr /p " + goneHandle);
  ExpectExitMinusOne("quillara.scr /p 0");
  ExpectExitMinusOne("quillara.scr /p");
  ExpectExitMinusOne("quillara.scr /p:" + handle);   // read from the colon: 0
  ExpectExitMinusOne("quillara.scr /p\t" + handle);  // only spaces are skipped
  ExpectExitMinusOne("quillara.scr /p " + Number(std::stoull(goneHandle) + (1ull << 32)));
  EXPECT_EQ(nullptr, FindPreviewIn(host));
  DestroyWindow(host);
}

TEST(ScrCommandLine, ConfigDialogOwners) {
  HWND owner = CreateTestWindow("owner");
  HWND other = CreateTestWindow("not the owner");
  ASSERT_NE(nullptr, owner);
  ASSERT_NE(nullptr, other);
  auto makeForeground = [&] {
    SetForegroundWindow(owner);
    PumpMessages(50);
    return GetForegroundWindow() == owner;
  };
  ExpectDialogOwnedBy(Scr, "quillara.scr /c:" + Number(HandleValue(other)), other);
  ExpectDialogOwnedBy(Scr, "quillara.scr /C:" + Number(HandleValue(other) + (1ull << 32)), other);

  ASSERT_TRUE(makeForeground()) << "the test cannot make its window the foreground";
  ExpectDialogOwnedBy(Scr, "quillara.scr /c " + Number(HandleValue(other)), owner);
  ASSERT_TRUE(makeForeground());
  ExpectDialogOwnedBy(Scr, "quillara.scr /c", owner);
  ASSERT_TRUE(makeForeground());
  HWND gone = CreateTestWindow("gone");
  const std::string goneHandle = Number(HandleValue(gone));
  DestroyWindow(gone);
  ASSERT_TRUE(makeForeground());
  ExpectDialogOwnedBy(Scr, "quillara.scr /c:" + goneHandle, owner);
  ASSERT_TRUE(makeForeground());
  ExpectDialogOwnedBy(Scr, "quillara.scr /c:0", owner);
  DestroyWindow(other);
  DestroyWindow(owner);
}

TEST(ScrCommandLine, OtherSwitchBytesEndWithMinusOne) {
  HWND owner = CreateTestWindow("owner");
  ExpectExitMinusOne("quillara.scr /x");
  ExpectExitMinusOne("quillara.scr /1");
  ExpectExitMinusOne("quillara.scr /\ts");
  ExpectExitMinusOne("quillara.scr /\xE9s");
  ExpectExitMinusOne("quillara.scr \xFF/s");
  ExpectExitMinusOne("quillara.scr +s");
  // The password change exists on Windows 9x only.
  ExpectExitMinusOne("quillara.scr /a " + Number(HandleValue(owner)));
  ExpectExitMinusOne("quillara.scr -A");
  DestroyWindow(owner);
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
