#include "config/ConfigDialog.h"

#include <commctrl.h>

#include <cstdio>

#include "config/SaverSettings.h"
#include "config/SettingsStore.h"
#include "resources/ResourceIds.h"

// The texts of every count list; the number is read back from this table,
// never from the list's own text.
const char* const CountChoices[12] = {"1", "2", "3", "4",  "5",  "6",
                                      "7", "8", "9", "10", "11", "12"};

namespace {

constexpr int CountChoiceTotal = static_cast<int>(sizeof CountChoices / sizeof CountChoices[0]);
static_assert(CountChoiceTotal == MostBodies - FewestBodies + 1, "one choice per count");

// Any value below 1 shows the first entry; written so that the lowest 32-bit
// value cannot wrap round to the last.
void ShowCount(HWND dialog, int controlId, int32_t value) {
  const int selection = value < 1 ? 0 : value - 1;
  FillCountList(dialog, controlId, CountChoices, CountChoiceTotal, selection);
}

bool IsCountList(const SettingRow& row) { return row.dialogControl != IDC_GRAVITY_TRACKBAR; }

BOOL OnInitDialog(HWND dialog) {
  LoadSettings();
  for (const SettingRow& row : SettingsTable) {
    if (IsCountList(row)) ShowCount(dialog, row.dialogControl, SaverSettings.*row.field);
  }

  HWND trackbar = GetDlgItem(dialog, IDC_GRAVITY_TRACKBAR);
  SendMessageA(trackbar, TBM_SETPAGESIZE, 0, 1);
  SendMessageA(trackbar, TBM_SETLINESIZE, 0, 1);
  SendMessageA(trackbar, TBM_SETTICFREQ, 1, 0);
  SendMessageA(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(WeakestGravity, StrongestGravity));
  SendMessageA(trackbar, TBM_SETPOS, TRUE, SaverSettings.GraviticForce);
  return TRUE;  // Focus goes to the first tab stop, OK.
}

BOOL OnOk(HWND dialog) {
  NormaliseCountRanges(SaverSettings);
  SaveSettings(dialog);
  EndDialog(dialog, IDOK);
  return TRUE;
}

BOOL OnCancel(HWND dialog) {
  EndDialog(dialog, 0);
  return TRUE;
}

// Any notification of a count list (selection, drop-down, focus) takes its
// number; the trackbar is read only on OK.
BOOL OnDialogCommand(HWND dialog, int controlId) {
  switch (controlId) {
    case IDOK:
      return OnOk(dialog);
    case IDCANCEL:
      return OnCancel(dialog);
    default: {
      const SettingRow* row = FindSettingByControl(controlId);
      if (row == nullptr || !IsCountList(*row)) return FALSE;
      SaverSettings.*row->field = ReadCountList(dialog, controlId);
      return TRUE;
    }
  }
}

}  // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  // Before every message: the trackbar's class must exist by the time the
  // dialog creates its controls, and the first messages come before that.
  InitCommonControls();
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      return OnDialogCommand(dialog, LOWORD(wParam));
    default:
      return FALSE;  // Trackbar scrolling included: read only on OK.
  }
}

// The dialog uses only system classes: nothing to register.
BOOL PrepareDialogClasses(HINSTANCE) { return TRUE; }

void FillCountList(HWND dialog, int controlId, const char* const* choices, int count,
                   int selection) {
  HWND list = GetDlgItem(dialog, controlId);
  if (selection >= count) selection = count - 1;
  if (selection < 0) selection = 0;
  for (int i = 0; i < count; ++i) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choices[i]));
  }
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

int GetListSelection(HWND dialog, int controlId) {
  LRESULT index = SendMessageA(GetDlgItem(dialog, controlId), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? 0 : static_cast<int>(index);
}

int ReadCountList(HWND dialog, int controlId) {
  int index = GetListSelection(dialog, controlId);
  // A list holding more than the table (never ours), or an odd answer, must
  // not read outside it.
  if (index < 0) index = 0;
  if (index >= CountChoiceTotal) index = CountChoiceTotal - 1;
  int number = 0;
  std::sscanf(CountChoices[index], "%d", &number);
  return number;
}
