#include "config/ConfigDialog.h"

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
