// A stand-in for the Windows 9x "MPR.DLL": its password-change entry writes
// the arguments it was given to the file named by QUILLARA_MPR_LOG.  Built
// with STANDIN_WITHOUT_ENTRY it is a library without that entry.
#include <windows.h>

#include <cstdio>

#ifndef STANDIN_WITHOUT_ENTRY
extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("QUILLARA_MPR_LOG", path, sizeof path)) return 1;
  FILE* log = std::fopen(path, "a");
  if (!log) return 1;
  std::fprintf(log, "%s %lu %lu %lu\n", provider ? provider : "(null)",
               static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(owner)),
               static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
  std::fclose(log);
  return 1;  // ignored by the caller
}
#endif
