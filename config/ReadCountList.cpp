#include "config/ConfigDialog.h"

#include <cstdio>

int ReadCountList(HWND dialog, int controlId) {
  int index = GetListSelection(dialog, controlId);
  // A list holding more than the table (never ours), or an odd answer, must
  // not read outside it.
  const int last = static_cast<int>(sizeof CountChoices / sizeof CountChoices[0]) - 1;
  if (index < 0) index = 0;
  if (index > last) index = last;
  int number = 0;
  std::sscanf(CountChoices[index], "%d", &number);
  return number;
}
