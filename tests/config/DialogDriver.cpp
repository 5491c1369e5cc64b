#include "tests/config/DialogDriver.h"

#include <commctrl.h>

#include "config/ConfigDialog.h"
#include "resources/ResourceIds.h"

namespace {

struct Run {
  const std::vector<DialogStep>* steps = nullptr;
  size_t next = 0;
  int ticks = 0;
};
Run* CurrentRun = nullptr;

constexpr UINT TickMilliseconds = 25;
constexpr int TicksAllowed = 400;  // 10 s for any script

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  Run& run = *CurrentRun;
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (!dialog) return;
  if (++run.ticks > TicksAllowed) {
    EndDialog(dialog, DialogStillOpen);
    return;
  }
  if (run.next < run.steps->size()) (*run.steps)[run.next++](dialog);
}

void PostKey(HWND target, int virtualKey) {
  UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

}  // namespace

INT_PTR RunConfigDialog(const std::vector<DialogStep>& steps) {
  Run run;
  run.steps = &steps;
  CurrentRun = &run;
  UINT_PTR timer = SetTimer(nullptr, 0, TickMilliseconds, OnTick);
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG), nullptr,
                                   ConfigDialogProc, 0);
  KillTimer(nullptr, timer);
  CurrentRun = nullptr;
  return result;
}

std::vector<std::string> ListTexts(HWND dialog, int listId) {
  std::vector<std::string> texts;
  HWND list = GetDlgItem(dialog, listId);
  LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[32] = {};
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

int ListSelection(HWND dialog, int listId) {
  return static_cast<int>(SendDlgItemMessageA(dialog, listId, CB_GETCURSEL, 0, 0));
}

int TrackbarPosition(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageA(dialog, IDC_GRAVITY_TRACKBAR, TBM_GETPOS, 0, 0));
}

DialogStep PressKey(int virtualKey) {
  return [virtualKey](HWND dialog) {
    HWND focus = GetFocus();
    PostKey(focus ? focus : dialog, virtualKey);
  };
}

DialogStep PressKeyOn(int controlId, int virtualKey) {
  return [controlId, virtualKey](HWND dialog) {
    HWND control = GetDlgItem(dialog, controlId);
    SetFocus(control);
    PostKey(control, virtualKey);
  };
}

DialogStep ChooseInList(int listId, int index) {
  return [listId, index](HWND dialog) {
    HWND list = GetDlgItem(dialog, listId);
    SetFocus(list);
    PostKey(list, VK_HOME);
    for (int i = 0; i < index; ++i) PostKey(list, VK_DOWN);
  };
}

DialogStep ClickButton(int buttonId) {
  return [buttonId](HWND dialog) {
    HWND button = GetDlgItem(dialog, buttonId);
    RECT area;
    GetClientRect(button, &area);
    LPARAM centre = MAKELPARAM(area.right / 2, area.bottom / 2);
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageA(button, WM_LBUTTONUP, 0, centre);
  };
}

DialogStep ClickCloseBox() {
  return [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
}
