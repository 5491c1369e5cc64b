// The Windows 9x screen-saver password component.
#pragma once
#include <windows.h>

extern HMODULE PasswordModule;

void LoadPasswordComponent();
void UnloadPasswordComponent();
BOOL SetSaverRunning(BOOL on);
