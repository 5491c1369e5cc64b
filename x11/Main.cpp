// The hack's main loop: frames paced to a deadline, the window's events,
// the keys of an own window, the rate display, and a clean end on SIGTERM.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <GL/gl.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "config/SaverSettings.h"
#include "render/Scene.h"
#include "sim/Random.h"
#include "sim/Universe.h"
#include "x11/HackWindow.h"
#include "x11/Options.h"

namespace {

const int64_t NsPerSecond = 1000000000;
const int64_t NsPerUs = 1000;

volatile sig_atomic_t StopRequested = 0;

void OnStopSignal(int) { StopRequested = 1; }

// The frame rate and the load of the last whole second, as --fps shows them.
// Load is the share of wall time not spent waiting for the next deadline.
struct RateMeter {
  int64_t since;
  int64_t waited;
  int32_t frames;
  char lines[2][32];
};

struct LoopState {
  bool mapped;   // an own window is drawn into from its first MapNotify
  bool exposed;  // the picture is to be drawn again as it is
  bool ended;
};

int64_t Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * NsPerSecond + now.tv_nsec;
}

// The framework starts one hack per monitor at the same moment: the process
// id and the nanoseconds keep their universes apart within one second.
uint32_t InstanceSalt() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<uint32_t>(getpid()) * 2654435761u ^ static_cast<uint32_t>(now.tv_nsec);
}

// SIGTERM and SIGINT stay blocked except inside the wait, so a stop can never
// slip in between the last check and the sleep. Blocked before the GL
// library starts any thread, so those threads never take them. Returns the
// mask the wait opens.
sigset_t InstallStopSignals() {
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigset_t stops, open;
  sigemptyset(&stops);
  sigaddset(&stops, SIGTERM);
  sigaddset(&stops, SIGINT);
  sigprocmask(SIG_BLOCK, &stops, &open);
  return open;
}

// Sends the frame, then sleeps until `deadline`, input from the server or a
// stop signal. Called once per turn of the loop even when the deadline has
// passed, since only here can a stop signal arrive.
void WaitUntil(Display* display, int64_t deadline, const sigset_t& open, RateMeter* meter) {
  XFlush(display);
  const int64_t start = Now();
  const int64_t span = deadline > start ? deadline - start : 0;
  pollfd server = {ConnectionNumber(display), POLLIN, 0};
  const timespec timeout = {static_cast<time_t>(span / NsPerSecond),
                            static_cast<long>(span % NsPerSecond)};
  ppoll(&server, 1, &timeout, &open);
  meter->waited += Now() - start;
}

void CountFrame(RateMeter* meter, int64_t now) {
  ++meter->frames;
  const int64_t elapsed = now - meter->since;
  if (elapsed < NsPerSecond) return;
  std::snprintf(meter->lines[0], sizeof meter->lines[0], "FPS: %.1f",
                meter->frames * static_cast<double>(NsPerSecond) / elapsed);
  std::snprintf(meter->lines[1], sizeof meter->lines[1], "Load: %.1f%%",
                100.0 * static_cast<double>(elapsed - meter->waited) / elapsed);
  meter->since = now;
  meter->waited = 0;
  meter->frames = 0;
}

// B, M, N, X and Z as in the Windows saver; q and Escape end the hack.
void OnKey(XKeyEvent* key, LoopState* state) {
  const KeySym symbol = XLookupKeysym(key, 0);
  if (symbol == XK_q || symbol == XK_Escape) {
    state->ended = true;
  } else if (symbol >= XK_a && symbol <= XK_z) {
    ReplaceUniverse(NewUniverseForKey(static_cast<uint32_t>('A' + (symbol - XK_a))));
  }
}

void HandleEvent(HackWindow* hack, XEvent* event, LoopState* state) {
  switch (event->type) {
    case ConfigureNotify:
      hack->width = event->xconfigure.width;
      hack->height = event->xconfigure.height;
      glViewport(0, 0, hack->width, hack->height);
      break;
    case Expose:
      if (event->xexpose.count == 0) state->exposed = true;
      break;
    case MapNotify:
      state->mapped = true;
      break;
    case DestroyNotify:
      state->ended = true;
      break;
    case ClientMessage:
      if (hack->own && static_cast<Atom>(event->xclient.data.l[0]) == hack->closeMessage) {
        state->ended = true;
      }
      break;
    case KeyPress:  // selected on an own window only
      OnKey(&event->xkey, state);
      break;
  }
}

void ShowFrame(const HackWindow& hack, const RateMeter& meter) {
  const char* const lines[2] = {meter.lines[0], meter.lines[1]};
  DrawRateText(hack, lines, 2);
  PresentFrame(hack);
}

void RunFrames(HackWindow* hack, int64_t delay, const sigset_t& open) {
  LoopState state = {!hack->own, false, false};
  RateMeter meter = {Now(), 0, 0, {"FPS: -", "Load: -"}};
  int64_t next = Now();
  while (!StopRequested && !WindowGone && !state.ended) {
    while (!state.ended && XPending(hack->display) > 0) {
      XEvent event;
      XNextEvent(hack->display, &event);
      HandleEvent(hack, &event, &state);
    }
    if (state.ended || WindowGone) break;
    const int64_t now = Now();
    if (state.mapped && now >= next) {
      DrawFrame();
      ShowFrame(*hack, meter);
      CountFrame(&meter, now);
      // The next frame starts one delay after this one started; a late
      // frame moves the schedule rather than bunching frames to catch up.
      next = next + delay > now ? next + delay : now;
      state.exposed = false;
    } else if (state.mapped && state.exposed) {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      if (CurrentUniverse != nullptr) CurrentUniverse->Draw();
      ShowFrame(*hack, meter);
      state.exposed = false;
    }
    WaitUntil(hack->display, state.mapped ? next : now + NsPerSecond, open, &meter);
  }
}

}  // namespace

int main(int argc, char** argv) {
  HackOptions options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fputs(HackUsage, stderr);
    return 1;
  }
  SaverSettings = options.settings;
  SeedSalt = InstanceSalt();
  const sigset_t open = InstallStopSignals();

  HackWindow hack;
  const OpenResult opened = OpenHackWindow(options, &hack);
  if (opened != OpenResult::Ready) return opened == OpenResult::Gone ? 0 : 1;
  SetupScene(hack.width, hack.height);
  if (options.showFps) PrepareRateText(&hack);
  RunFrames(&hack, options.delayUs * NsPerUs, open);
  CleanupScene();
  CloseHackWindow(&hack);
  return 0;
}
