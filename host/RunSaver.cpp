// Creates the one saver window, full screen or inside a preview window, and
// runs the thread's message loop until the window is destroyed.
#include "host/SaverWindow.h"

#include "host/HostState.h"
#include "host/PasswordSupport.h"

HWND SaverWindow = nullptr;

static const char SaverClassName[] = "WindowsScreenSaverClass";
static const char FullScreenTitle[] = "Screen Saver";
static const char PreviewTitle[] = "Preview";
static const WORD ApplicationIconId = 100;
static const int NoWindowExitCode = -1;

static WNDCLASSA MakeSaverClass() {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = ModuleInstance;
  windowClass.hIcon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(ApplicationIconId));
  windowClass.hCursor = nullptr;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = SaverClassName;
  return windowClass;
}

static RECT ScreenClipBox() {
  RECT box = {};
  HDC screen = GetDC(nullptr);
  GetClipBox(screen, &box);
  ReleaseDC(nullptr, screen);
  return box;
}

// A preview window ("Preview") never counts as a running saver.
static bool BringRunningSaverForward() {
  HWND running = FindWindowA(SaverClassName, FullScreenTitle);
  if (running == nullptr || !IsWindow(running)) return false;
  SetForegroundWindow(running);
  return true;
}

static HWND CreateSaverWindow(HWND parent, const RECT& area) {
  if (parent != nullptr) {
    return CreateWindowExA(0, SaverClassName, PreviewTitle, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                           0, 0, area.right, area.bottom, parent, nullptr, ModuleInstance, nullptr);
  }
  return CreateWindowExA(WS_EX_TOPMOST, SaverClassName, FullScreenTitle,
                         WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, area.left,
                         area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                         ModuleInstance, nullptr);
}

static int RunMessageLoop() {
  MSG msg = {};
  // GetMessageA returns -1 on failure; that must end the loop too.
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunSaver(HWND parent) {
  WNDCLASSA windowClass = MakeSaverClass();
  RECT area = {};
  if (parent != nullptr) {
    GetClientRect(parent, &area);
    PreviewMode = 1;
  } else {
    area = ScreenClipBox();
    if (BringRunningSaverForward()) return 0;
    LoadPasswordComponent();
  }

  CancelAutoPlayMsg = Win9xPlatform == 1 ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

  if (RegisterClassA(&windowClass) != 0) SaverWindow = CreateSaverWindow(parent, area);

  int exitCode = NoWindowExitCode;
  if (SaverWindow != nullptr) {
    if (parent == nullptr) SetForegroundWindow(SaverWindow);
    exitCode = RunMessageLoop();
  }

  UnloadPasswordComponent();
  return exitCode;
}
