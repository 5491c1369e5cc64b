#include "x11/HackWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "x11/XErrorLog.h"

bool WindowGone = false;

namespace {

const int OwnWidth = 1280;
const int OwnHeight = 720;
const int FirstCharacter = 32;
const int CharacterCount = 96;
const int TextMargin = 8;

Window WatchedWindow = 0;

// Errors arrive some requests after their cause; the loop reads WindowGone
// between frames. BadWindow for another window (a virtual-root candidate
// that went away while looked at) is no concern.
int OnXError(Display* display, XErrorEvent* error) {
  const bool lost = error->error_code == BadWindow || error->error_code == BadDrawable;
  if (lost && error->resourceid == WatchedWindow) {
    WindowGone = true;
  } else if (!lost) {
    LogXError(display, *error);
  }
  return 0;
}

// Xlib ends the process when this returns; a lost server is a clean end.
int OnIOError(Display*) { _exit(0); }

// The window that a child of the root names in __SWM_VROOT, as desktops
// that cover the root with a window of their own mark it; else the root.
Window FindVirtualRoot(Display* display, Window root) {
  const Atom marker = XInternAtom(display, "__SWM_VROOT", False);
  Window found = root, rootAgain = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, root, &rootAgain, &parent, &children, &count)) return found;
  for (unsigned int i = 0; i < count && found == root; ++i) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], marker, 0, 1, False, XA_WINDOW, &type, &format,
                           &items, &after, &data) == Success &&
        items == 1) {
      found = *reinterpret_cast<Window*>(data);
    }
    if (data != nullptr) XFree(data);
  }
  if (children != nullptr) XFree(children);
  return found;
}

// `source` says where the window came from, for the line about a bad one.
Window RootTarget(Display* display, const char** source) {
  unsigned long id = 0;
  const char* given = std::getenv("XSCREENSAVER_WINDOW");
  *source = "$XSCREENSAVER_WINDOW";
  if (given != nullptr && ReadWindowId(given, &id)) return id;
  *source = "a virtual root's __SWM_VROOT";
  return FindVirtualRoot(display, DefaultRootWindow(display));
}

// A double-buffered RGBA visual if there is one, else a single-buffered one.
// Without either the window takes the default visual, and binding reports it.
Window MakeOwnWindow(HackWindow* hack) {
  Display* display = hack->display;
  const int screen = DefaultScreen(display);
  int wanted[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
  XVisualInfo* visual = glXChooseVisual(display, screen, wanted);
  if (visual == nullptr) {
    wanted[1] = None;
    visual = glXChooseVisual(display, screen, wanted);
  }
  Visual* chosen = visual != nullptr ? visual->visual : DefaultVisual(display, screen);
  const int depth = visual != nullptr ? visual->depth : DefaultDepth(display, screen);
  if (visual != nullptr) XFree(visual);

  XSetWindowAttributes attributes;
  attributes.colormap = XCreateColormap(display, RootWindow(display, screen), chosen, AllocNone);
  attributes.background_pixel = 0;
  attributes.border_pixel = 0;
  attributes.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask | VisibilityChangeMask;
  const Window window = XCreateWindow(
      display, RootWindow(display, screen), 0, 0, OwnWidth, OwnHeight, 0, depth, InputOutput,
      chosen, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);

  char name[] = "quillara", className[] = "Quillara";
  XClassHint classHint = {name, className};
  Xutf8SetWMProperties(display, window, "Quillara!", "Quillara!", nullptr, 0, nullptr, nullptr,
                       &classHint);
  hack->closeMessage = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &hack->closeMessage, 1);
  const long pid = getpid();
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  XMapWindow(display, window);
  return window;
}

// The context is made on the window's own visual, as the framework chose it.
bool BindContext(HackWindow* hack, Visual* visual) {
  XVisualInfo wanted;
  wanted.visualid = XVisualIDFromVisual(visual);
  int count = 0, gl = 0, rgba = 0, doubled = 0;
  XVisualInfo* info = XGetVisualInfo(hack->display, VisualIDMask, &wanted, &count);
  if (info != nullptr) {
    glXGetConfig(hack->display, info, GLX_USE_GL, &gl);
    glXGetConfig(hack->display, info, GLX_RGBA, &rgba);
    glXGetConfig(hack->display, info, GLX_DOUBLEBUFFER, &doubled);
    if (gl && rgba) hack->context = glXCreateContext(hack->display, info, nullptr, True);
    XFree(info);
  }
  if (hack->context == nullptr || !glXMakeCurrent(hack->display, hack->window, hack->context)) {
    std::fprintf(stderr, "quillara: visual 0x%lx of window 0x%lx has no RGBA OpenGL\n",
                 wanted.visualid, hack->window);
    return false;
  }
  hack->doubleBuffered = doubled != 0;
  if (!hack->doubleBuffered) glDrawBuffer(GL_FRONT);
  return true;
}

}  // namespace

bool OpenHackWindow(const HackOptions& options, HackWindow* hack) {
  std::memset(hack, 0, sizeof *hack);
  hack->display = XOpenDisplay(nullptr);
  if (hack->display == nullptr) {
    std::fprintf(stderr, "quillara: cannot open display \"%s\"\n", XDisplayName(nullptr));
    return false;
  }
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnIOError);
  hack->own = options.windowId == 0 && !options.root;
  const char* source = "--window-id";
  if (options.windowId != 0) {
    hack->window = options.windowId;
  } else if (options.root) {
    hack->window = RootTarget(hack->display, &source);
  } else {
    hack->window = MakeOwnWindow(hack);
  }
  WatchedWindow = hack->window;
  if (!hack->own) {
    // Before the size is read, so that no change of it goes unreported. This
    // new connection selects nothing else there; ButtonPress stays free for
    // the client that may hold it, and the window is never mapped, moved or
    // resized.
    XSelectInput(hack->display, hack->window, StructureNotifyMask | ExposureMask);
  }
  // A window that is gone or takes no drawing is an error, not a clean end:
  // a framework that restarts a hack ending with 0 would restart it at once.
  XWindowAttributes attributes;
  const char* fault = nullptr;
  if (!XGetWindowAttributes(hack->display, hack->window, &attributes)) {
    fault = "does not exist";
  } else if (attributes.c_class == InputOnly) {
    fault = "is InputOnly: nothing can be drawn in it";
  }
  if (fault != nullptr) {
    std::fprintf(stderr, "quillara: window 0x%lx (from %s) %s\n", hack->window, source, fault);
    return false;
  }
  hack->width = attributes.width;
  hack->height = attributes.height;
  return BindContext(hack, attributes.visual);
}

void CloseHackWindow(HackWindow* hack) {
  glXMakeCurrent(hack->display, None, nullptr);
  glXDestroyContext(hack->display, hack->context);
  XCloseDisplay(hack->display);
}

void PrepareRateText(HackWindow* hack) {
  XFontStruct* font = XLoadQueryFont(hack->display, "fixed");
  if (font == nullptr) return;
  hack->fontBase = glGenLists(CharacterCount);
  glXUseXFont(font->fid, FirstCharacter, CharacterCount, hack->fontBase);
  hack->lineHeight = font->ascent + font->descent;
  // Mesa moves the raster position on for no empty bitmap, which leaves the
  // space glyph no width: it becomes one blank pixel and the cell's width.
  static const GLubyte blank = 0;
  glNewList(hack->fontBase + (' ' - FirstCharacter), GL_COMPILE);
  glBitmap(1, 1, 0.0f, 0.0f, font->max_bounds.width, 0.0f, &blank);
  glEndList();
  XFreeFont(hack->display, font);
}

void DrawRateText(const HackWindow& hack, const char* const* lines, int count) {
  if (hack.fontBase == 0) return;
  // Window pixels for the text; the scene's matrices are back afterwards.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, hack.width, 0.0, hack.height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glColor3f(1.0f, 1.0f, 1.0f);
  glListBase(hack.fontBase - FirstCharacter);
  for (int i = 0; i < count; ++i) {
    glRasterPos2i(TextMargin, TextMargin + (count - 1 - i) * hack.lineHeight);
    glCallLists(static_cast<GLsizei>(std::strlen(lines[i])), GL_UNSIGNED_BYTE, lines[i]);
  }
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void PresentFrame(const HackWindow& hack) {
  if (hack.doubleBuffered) {
    glXSwapBuffers(hack.display, hack.window);
  } else {
    glFlush();
  }
}
