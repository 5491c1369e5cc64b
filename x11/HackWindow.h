// The X window the hack draws into, its GLX context and the rate text:
// finding or making the window, binding OpenGL to it, presenting frames.
#pragma once
#include <X11/Xlib.h>
#include <GL/glx.h>

#include "x11/Options.h"

struct HackWindow {
  Display* display;
  Window window;
  bool own;             // made here: keys and the close button act on it
  bool doubleBuffered;  // else frames go to the front buffer and are flushed
  GLXContext context;
  int width;
  int height;
  Atom closeMessage;      // WM_DELETE_WINDOW, on an own window
  unsigned int fontBase;  // display lists of characters 32 to 127; 0 for none
  int lineHeight;
};

// Set when the server reports BadWindow or BadDrawable for the hack's window.
extern bool WindowGone;

// The window is the one handed over, else with `root` $XSCREENSAVER_WINDOW,
// a virtual root or the root, else a new top-level window of its own,
// mapped. True with the context current; false, with a line on standard
// error, for no display, a window that does not exist or is InputOnly, or
// no OpenGL for the window's visual.
bool OpenHackWindow(const HackOptions& options, HackWindow* hack);
// Releases the context and the display (with it an own window).
void CloseHackWindow(HackWindow* hack);

// Makes the characters of the server's "fixed" font into display lists.
void PrepareRateText(HackWindow* hack);
// The lines in the lower left, the last one lowest; nothing without the lists.
void DrawRateText(const HackWindow& hack, const char* const* lines, int count);

// Swaps, or on a single-buffered visual flushes the front buffer.
void PresentFrame(const HackWindow& hack);
