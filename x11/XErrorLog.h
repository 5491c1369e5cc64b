// The X errors the hack meets, each kind reported once as it first comes and
// counted after that, in fixed storage: an error that repeats every frame
// leaves two lines, not one a frame in the desktop's error log.
#pragma once
#include <X11/Xlib.h>

// Kinds of error (error code, request, minor request) kept apart; errors of
// further kinds are only counted together.
const int ErrorKindsKept = 8;

// Called from the error handler: Xlib makes no request for the text.
void LogXError(Display* display, const XErrorEvent& error);

// At the end: how often each kind that repeated came, and the errors of
// kinds beyond those kept.
void ReportXErrorCounts();
