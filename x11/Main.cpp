// The hack's main loop: frames paced to a deadline, the window's events,
// the keys of an own window, the rate display, and an end on SIGTERM that no
// server holds up.
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "config/SaverSettings.h"
#include "render/scene/Scene.h"
#include "sim/Random.h"
#include "x11/HackWindow.h"
#include "x11/Options.h"
#include "x11/XErrorLog.h"

namespace {

const int64_t NsPerSecond = 1000000000;
const int64_t NsPerUs = 1000;

// Time the loop has to end by itself after a stop signal.
const long StopGraceNs = 500000000;

volatile sig_atomic_t StopRequested = 0;
timer_t StopDeadline;

// The loop sees the flag at its next turn; a server that does not answer, or
// a GL call that blocks, can hold that turn back for good, so the timer ends
// the process regardless. timer_settime and _exit are async-signal-safe.
void OnStopSignal(int) {
  if (StopRequested) return;
  StopRequested = 1;
  const itimerspec grace = {{0, 0}, {0, StopGraceNs}};
  timer_settime(StopDeadline, 0, &grace, nullptr);
}

void OnStopDeadline(int) { _exit(0); }

// The frame rate and the load of the last whole second, as --fps shows them.
// Load is the share of wall time not spent waiting for the next deadline.
struct RateMeter {
  int64_t since;
  int64_t waited;
  int32_t frames;
  char lines[2][32];
};

struct LoopState {
  bool mapped;    // an own window is drawn into while mapped
  bool obscured;  // an own window wholly covered is not drawn into either
  bool exposed;   // the picture is to be drawn again as it is
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

// SIGTERM and SIGINT: the stop signals, with the deadline's SIGALRM.
sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGALRM);
  return signals;
}

// Installs the handlers and blocks the signals until OpenStopSignals:
// the threads the GL library starts meanwhile never take them.
void InstallStopSignals() {
  struct sigaction action = {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = OnStopSignal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  action.sa_handler = OnStopDeadline;
  sigaction(SIGALRM, &action, nullptr);
  sigevent expiry = {};
  expiry.sigev_notify = SIGEV_SIGNAL;
  expiry.sigev_signo = SIGALRM;
  timer_create(CLOCK_MONOTONIC, &expiry, &StopDeadline);
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

// From here on the main thread takes the signals anywhere, even inside a
// call that waits for the server.
void OpenStopSignals() {
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

// Sends the frame, then sleeps until `deadline`, input from the server or a
// stop signal. Events that Xlib read into its queue during the frame end the
// wait at once: the server's socket no longer shows them. The stop signals
// are blocked from the last look at the flag until the sleep opens them, so
// none slips in between.
void WaitUntil(Display* display, int64_t deadline, RateMeter* meter) {
  XFlush(display);
  const int64_t start = Now();
  const int64_t span = deadline > start ? deadline - start : 0;
  pollfd server = {ConnectionNumber(display), POLLIN, 0};
  const timespec timeout = {static_cast<time_t>(span / NsPerSecond),
                            static_cast<long>(span % NsPerSecond)};
  const sigset_t stops = StopSignals();
  sigset_t open;
  pthread_sigmask(SIG_BLOCK, &stops, &open);
  if (!StopRequested && XEventsQueued(display, QueuedAlready) == 0) {
    ppoll(&server, 1, &timeout, &open);
  }
  pthread_sigmask(SIG_SETMASK, &open, nullptr);
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
    RunCommandKey(static_cast<uint32_t>('A' + (symbol - XK_a)));
  }
}

void HandleEvent(HackWindow* hack, XEvent* event, LoopState* state) {
  switch (event->type) {
    case ConfigureNotify:
      hack->width = event->xconfigure.width;
      hack->height = event->xconfigure.height;
      FitWorldToWindow(hack->width, hack->height);
      break;
    case Expose:
      if (event->xexpose.count == 0) state->exposed = true;
      break;
    case MapNotify:
      state->mapped = true;
      break;
    case UnmapNotify:  // a handed window is drawn into as the framework left it
      state->mapped = !hack->own;
      break;
    case VisibilityNotify:  // selected on an own window only
      state->obscured = event->xvisibility.state == VisibilityFullyObscured;
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

void RunFrames(HackWindow* hack, int64_t delay) {
  LoopState state = {!hack->own, false, false, false};
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
    const bool shown = state.mapped && !state.obscured;
    if (shown && now >= next) {
      DrawFrame();
      ShowFrame(*hack, meter);
      CountFrame(&meter, now);
      // The next frame starts one delay after this one started; a late
      // frame moves the schedule rather than bunching frames to catch up.
      next = next + delay > now ? next + delay : now;
      state.exposed = false;
    } else if (shown && state.exposed) {
      RedrawPicture();
      ShowFrame(*hack, meter);
      state.exposed = false;
    }
    WaitUntil(hack->display, shown ? next : now + NsPerSecond, &meter);
  }
}

}  // namespace

int main(int argc, char** argv) {
  HackOptions options;
  OptionProblem problem;
  if (!ParseOptions(argc, argv, &options, &problem)) {
    std::fprintf(stderr, "quillara: %s\n%s", problem.text, HackUsageHint);
    return 1;
  }
  if (options.help) {
    std::fputs(HackUsage, stdout);
    return 0;
  }
  SaverSettings = options.settings;
  SeedSalt = InstanceSalt();
  InstallStopSignals();

  HackWindow hack;
  if (!OpenHackWindow(options, &hack)) return 1;
  OpenStopSignals();
  SetupScene(hack.width, hack.height);
  FitWorldToWindow(hack.width, hack.height);
  if (options.showFps) PrepareRateText(&hack);
  RunFrames(&hack, options.delayUs * NsPerUs);
  ReportXErrorCounts();
  CleanupScene();
  CloseHackWindow(&hack);
  return 0;
}
