// Process-wide state of the screen-saver host, shared by its parts.
#pragma once
#include <windows.h>

// Contract of the password component's "VerifyScreenSavePwd": non-zero when
// the user may leave.
typedef BOOL(WINAPI* PasswordVerifierFunction)(HWND window);

extern HINSTANCE ModuleInstance;
extern int Win9xPlatform;
extern int PreviewMode;
extern UINT CancelAutoPlayMsg;
extern POINT MouseAnchor;
extern int CloseApproved;
extern PasswordVerifierFunction PasswordVerifier;

// The host's private request "verify the password now", sent by ApproveClose
// and answered by DefaultSaverProc; the result is non-zero when the user may
// leave.
const UINT VerifyPasswordMessage = 0x8000;

// The saver window never shows the cursor while it runs full screen.
inline void HideCursor() { SetCursor(nullptr); }
