// The guard around everything a mode does: a fault that would end the
// process first switches the system's screen-saver-running state off.
#pragma once
#include <windows.h>

// Runs body(argument) and returns its result.  If a fault inside it goes
// unhandled, the process ends with the fault's exception code as its exit
// code (0xC0000005 for an access violation) after SetSaverRunning(FALSE).
int RunGuarded(int (*body)(const char*), const char* argument);
