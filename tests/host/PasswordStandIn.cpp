// Stands in for the Windows 9x "PASSWORD.CPL": the verifier refuses as often
// as the test last asked and counts its calls.  Built again without it.
#include <windows.h>

#define STANDIN_EXPORT extern "C" __declspec(dllexport)
static int Calls = 0, Refusals = 0;

STANDIN_EXPORT int WINAPI StandInScript(int refusals) {
  Refusals = refusals;
  return Calls;
}
#ifndef WITHOUT_VERIFIER
STANDIN_EXPORT BOOL WINAPI VerifyScreenSavePwd(HWND) { return ++Calls > Refusals; }
#endif
