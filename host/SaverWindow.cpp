// Creates the one saver window, full screen or inside a preview window, and
// runs the thread's message loop until the window is destroyed.
#include "host/SaverWindow.h"

#include <imm.h>

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
// Held by a full-screen start from its look for a running saver until its
// own window can be found; another start waits this long for it at most.
static const char StartUpLockName[] = "Quillara full-screen start-up";
static const DWORD StartUpLockWaitMs = 15000;

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

// Two full-screen starts in the same moment would both find no saver, and
// each would make its own window: the second to show would take activation
// from the first, which closes, and the first's closing can end the second
// as well.  Under the lock, the later start finds the earlier one's window.
// A start that holds it for longer than the wait is presumed hung.
static HANDLE TakeStartUpLock() {
  HANDLE lock = CreateMutexA(nullptr, FALSE, StartUpLockName);
  if (lock == nullptr) return nullptr;
  const DWORD waited = WaitForSingleObject(lock, StartUpLockWaitMs);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return lock;
  CloseHandle(lock);
  return nullptr;
}

static void ReleaseStartUpLock(HANDLE lock) {
  if (lock == nullptr) return;
  ReleaseMutex(lock);
  CloseHandle(lock);
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
  HANDLE startUpLock = nullptr;
  if (parent != nullptr) {
    GetClientRect(parent, &area);
    PreviewMode = 1;
  } else {
    area = ScreenClipBox();
    startUpLock = TakeStartUpLock();
    if (BringRunningSaverForward()) {
      ReleaseStartUpLock(startUpLock);
      return 0;
    }
    LoadPasswordComponent();
  }

  CancelAutoPlayMsg = Win9xPlatform == 1 ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

  if (RegisterClassA(&windowClass) != 0) SaverWindow = CreateSaverWindow(parent, area);
  if (SaverWindow != nullptr && parent == nullptr) SetForegroundWindow(SaverWindow);
  ReleaseStartUpLock(startUpLock);

  int exitCode = NoWindowExitCode;
  if (SaverWindow != nullptr) exitCode = RunMessageLoop();

  UnloadPasswordComponent();
  return exitCode;
}

// The input-method library, used only when something else loaded it already.
typedef HIMC(WINAPI* ImeAssociateFunction)(HWND window, HIMC context);
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

static LRESULT OnHostCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DetachInputMethod(window);
  GetCursorPos(&MouseAnchor);
  if (PreviewMode == 0) HideCursor();
  return SaverProc(window, message, wParam, lParam);
}

static LRESULT OnHostDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  RestoreInputMethod(window);
  PostQuitMessage(0);
  return SaverProc(window, message, wParam, lParam);
}

static LRESULT OnHostPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CloseApproved != 0) return DefWindowProcA(window, message, wParam, lParam);
  if (PreviewMode == 0) HideCursor();
  return SaverProc(window, message, wParam, lParam);
}

// In a preview, help and context menus belong to the preview's owner.  A
// context menu carries only coordinates and is posted.  A help request
// carries a pointer to a HELPINFO that lives only while this message is
// handled (and the platform refuses to post such a message at all), so it
// is sent; a hung owner cannot hold the preview for long.
static LRESULT OnHostHelpRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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

// Once closing is approved, input gets only the platform's default handling.
static LRESULT OnHostInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CloseApproved != 0) return DefWindowProcA(window, message, wParam, lParam);
  return SaverProc(window, message, wParam, lParam);
}

// Task switching and a nested screen-saver start must not disturb a running
// full-screen saver.
static LRESULT OnHostSysCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (PreviewMode == 0 &&
      (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
    return 0;
  return SaverProc(window, message, wParam, lParam);
}

// Once closing is approved no further frame is drawn, even for queued timers.
static LRESULT OnHostTimer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (CloseApproved != 0) return 0;
  Sleep(0);
  return SaverProc(window, message, wParam, lParam);
}

// The saver window's procedure: the host settles a few messages itself and
// passes the rest to the saver's own procedure.
static LRESULT HandleHostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnHostCreate(window, message, wParam, lParam);
    case WM_DESTROY:
      return OnHostDestroy(window, message, wParam, lParam);
    case WM_SETTEXT:
      return 0;  // the title stays what creation gave it
    case WM_PAINT:
      return OnHostPaint(window, message, wParam, lParam);
    case WM_HELP:
    case WM_CONTEXTMENU:
      return OnHostHelpRequest(window, message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return OnHostInput(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
      return OnHostSysCommand(window, message, wParam, lParam);
    case WM_TIMER:
      return OnHostTimer(window, message, wParam, lParam);
    default:
      return SaverProc(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return HandleGuarded(HandleHostMessage, window, message, wParam, lParam);
}
