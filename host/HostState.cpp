#include "host/HostState.h"

HINSTANCE ModuleInstance = nullptr;
int Win9xPlatform = 0;
int PreviewMode = 0;
UINT CancelAutoPlayMsg = 0;
POINT MouseAnchor = {0, 0};
int CloseApproved = 0;
PasswordVerifierFunction PasswordVerifier = nullptr;
