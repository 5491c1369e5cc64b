#include "config/ConfigDialog.h"

// The dialog uses only system classes: nothing to register.
BOOL PrepareDialogClasses(HINSTANCE) { return TRUE; }
