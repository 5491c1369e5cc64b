#include "config/ConfigDialog.h"

int GetListSelection(HWND dialog, int controlId) {
  LRESULT index = SendMessageA(GetDlgItem(dialog, controlId), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? 0 : static_cast<int>(index);
}
