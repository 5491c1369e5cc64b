// Reading and writing SaverSettings in HKCU\Software\Quillara.
#pragma once
#include <windows.h>

void LoadSettings();
// Takes GraviticForce from trackbar 1001 of the dialog, then writes all five.
void SaveSettings(HWND dialog);
