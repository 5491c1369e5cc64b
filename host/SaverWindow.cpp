// Creates the one saver window, full screen or inside a preview window, and
// runs the thread's message loop until the window is destroyed.
#include "host/SaverWindow.h"

#include "host/FaultGuard.h"
#include "host/HostState.h"
#include "host/PasswordSupport.h"
#include "render/SaverProc.h"
#include "resources/ResourceIds.h"

HWND SaverWindow = nullptr;

static const char SaverClassName[] = "WindowsScreenSaverClass";
static const char FullScreenTitle[] = "Screen Saver";
static const char PreviewTitle[] = "Preview";
static const int NoWindowExitCode = -1;

static WNDCLASSA MakeSaverClass() {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = HostWindowProc;
  windowClass.hInstance = ModuleInstance;
  windowClass.hIcon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(IDI_SAVER));
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

// The saver window's procedure: the host settles a few messages itself and
// passes the rest to the saver's own procedure.
HMODULE ImeModule = nullptr;
ImeAssociateFunction ImeAssociate = nullptr;
HIMC SavedInputContext = nullptr;

// The saver takes no text input: detach the input method if some other part
// of the process already loaded it (the host never loads it itself).
static void DetachInputMethod(HWND window) {
  ImeModule = GetModuleHandleA("IMM32.DLL");
  if (ImeModule == nullptr) return;
  ImeAssociate = reinterpret_cast<ImeAssociateFunction>(
      reinterpret_cast<void*>(GetProcAddress(ImeModule, "ImmAssociateContext")));
  if (ImeAssociate != nullptr) SavedInputContext = ImeAssociate(window, nullptr);
}

static void RestoreInputMethod(HWND window) {
  if (ImeModule != nullptr && ImeAssociate != nullptr && SavedInputContext != nullptr)
    ImeAssociate(window, SavedInputContext);
}

static LRESULT OnCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DetachInputMethod(window);
  GetCursorPos(&MouseAnchor);
  if (PreviewMode == 0) HideCursor();
  return SaverProc(window, message, wParam, lParam);
}

static LRESULT OnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RestoreInputMethod(window);
  PostQuitMessage(0);
  return SaverProc(window, message, wParam, lParam);
}

// The title stays what creation gave it.
static LRESULT OnSetText(HWND, UINT, WPARAM, LPARAM) { return 0; }

static LRESULT OnPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CloseApproved != 0) return DefWindowProcA(window, message, wParam, lParam);
  if (PreviewMode == 0) HideCursor();
  return SaverProc(window, message, wParam, lParam);
}

// In a preview, help and context menus belong to the preview's owner.  A
// context menu carries only coordinates and is posted.  A help request
// carries a pointer to a HELPINFO that lives only while this message is
// handled (and the platform refuses to post such a message at all), so it
// is sent; a hung owner cannot hold the preview for long.
static LRESULT OnHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (PreviewMode == 0) return SaverProc(window, message, wParam, lParam);
  HWND parent = GetParent(window);
  if (parent != nullptr && IsWindow(parent)) {
    WPARAM owner = reinterpret_cast<WPARAM>(parent);
    if (message == WM_HELP) {
      DWORD_PTR ignored;
      SendMessageTimeoutA(parent, message, owner, lParam, SMTO_ABORTIFHUNG, 1000, &ignored);
    } else {
      PostMessageA(parent, message, owner, lParam);
    }
  }
  return 1;
}

static LRESULT OnInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CloseApproved != 0) return DefWindowProcA(window, message, wParam, lParam);
  return SaverProc(window, message, wParam, lParam);
}

// Task switching and a nested screen-saver start must not disturb a running
// full-screen saver.
static LRESULT OnSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (PreviewMode == 0 &&
      (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
    return 0;
  return SaverProc(window, message, wParam, lParam);
}

// Once closing is approved no further frame is drawn, even for queued timers.
static LRESULT OnTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CloseApproved != 0) return 0;
  Sleep(0);
  return SaverProc(window, message, wParam, lParam);
}

typedef LRESULT (*HostHandler)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct HostEntry {
  UINT message;
  HostHandler handler;
};

static const HostEntry HostHandlers[] = {
    {WM_CREATE, OnCreate},         {WM_DESTROY, OnDestroy},   {WM_SETTEXT, OnSetText},
    {WM_PAINT, OnPaint},           {WM_HELP, OnHelpRequest},  {WM_CONTEXTMENU, OnHelpRequest},
    {WM_KEYDOWN, OnInput},         {WM_SYSKEYDOWN, OnInput},  {WM_MOUSEMOVE, OnInput},
    {WM_LBUTTONDOWN, OnInput},     {WM_RBUTTONDOWN, OnInput}, {WM_MBUTTONDOWN, OnInput},
    {WM_SYSCOMMAND, OnSysCommand}, {WM_TIMER, OnTimer},
};

static LRESULT HandleHostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const HostEntry& entry : HostHandlers) {
    if (entry.message == message) return entry.handler(window, message, wParam, lParam);
  }
  return SaverProc(window, message, wParam, lParam);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return HandleGuarded(HandleHostMessage, window, message, wParam, lParam);
}
