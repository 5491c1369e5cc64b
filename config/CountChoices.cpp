#include "config/ConfigDialog.h"

// The texts of every count list; the number is read back from this table,
// never from the list's own text.
const char* const CountChoices[12] = {"1", "2", "3", "4",  "5",  "6",
                                      "7", "8", "9", "10", "11", "12"};
