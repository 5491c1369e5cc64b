// Stands in for the Windows 9x "PASSWORD.CPL": the verifier runs what the test
// gave it as its dialog, refuses as often as the test last asked and counts
// its calls.  Built again without it.
#include <windows.h>

static int Calls = 0, Refusals = 0;
static void (*Dialog)(HWND owner) = nullptr;

extern "C" __declspec(dllexport) int WINAPI StandInScript(int refusals, void (*dialog)(HWND)) {
  Refusals = refusals;
  Dialog = dialog;
  return Calls;
}
#ifndef WITHOUT_VERIFIER
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
  if (Dialog != nullptr) Dialog(owner);
  return ++Calls > Refusals;
}
#endif
