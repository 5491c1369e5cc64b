// The browser host: the scene in a canvas that fills the page, the universe
// stepped 100 times a second on the browser's animation frames, the command
// keys, and the five settings from the page's address.
#include <EGL/egl.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "config/SaverSettings.h"
#include "render/scene/Scene.h"
#include "sim/Random.h"

namespace {

// The universe's design rate: one step every 10 ms.
const double StepMs = 10.0;
// A frame makes up at most this much time: after a pause (a hidden page, a
// sleeping machine, a slow frame) the universe goes on, it does not race.
const double LongestCatchUpMs = 100.0;

const char* const Canvas = "#canvas";

struct Pace {
  bool started;    // `last` holds the time of a frame
  double last;     // the last animation frame's time, ms
  double backlog;  // time not yet stepped, ms
};

// The rate display of ?fps: frames drawn and steps made in the last second.
struct RateMeter {
  bool shown;
  double since;
  int32_t frames;
  int32_t steps;
};

Pace Timing = {false, 0.0, 0.0};
RateMeter Rate = {false, 0.0, 0, 0};
bool Hidden = false;
bool Looping = false;    // an animation-frame loop is asking for frames
bool RedrawDue = false;  // the canvas was resized (and so cleared)
double StepsMade = 0.0;  // since the page started

EM_JS(void, ShowNotice, (const char* text), {
  var notice = document.getElementById('notice');
  notice.textContent = UTF8ToString(text);
  notice.hidden = false;
  Module.canvas.hidden = true;
});

EM_JS(void, ShowRate, (const char* text), {
  var rate = document.getElementById('rate');
  rate.textContent = UTF8ToString(text);
  rate.hidden = false;
});

// The address's query, decoded by the browser: one "name=value" a line.
EM_JS(char*, ReadAddressQuery, (), {
  var text = "";
  new URLSearchParams(location.search).forEach(function(value, name) {
    text += name + '=' + value + '\n';
  });
  return allocateUTF8(text);
});

// One setting of the address: a hack option's name with a whole number, or
// fps (alone, =1 or =0).  Counts and gravity are clamped to the dialog's
// ranges.  Null once applied, else why it was ignored.
const char* ApplyAddressSetting(const char* name, const char* value) {
  if (std::strcmp(name, "fps") == 0) {
    if (value[0] != '\0' && std::strcmp(value, "1") != 0 && std::strcmp(value, "0") != 0) {
      return "takes no value but 1 or 0";
    }
    Rate.shown = std::strcmp(value, "0") != 0;
    return nullptr;
  }
  const SettingRow* row = FindSettingByOption(name);
  if (row == nullptr) return "not a setting";
  char* end = nullptr;
  const long long number = std::strtoll(value, &end, 10);
  if (end == value || *end != '\0') return "not a whole number";
  SetClamped(SaverSettings, *row, number);
  return nullptr;
}

// The fallback settings with the address's over them; a bad one is named on
// the console and the others still apply.  Reversed ranges are put in order.
void LoadAddressSettings() {
  SaverSettings = FallbackSettings;
  char* query = ReadAddressQuery();
  for (char* line = std::strtok(query, "\n"); line != nullptr; line = std::strtok(nullptr, "\n")) {
    char* value = std::strchr(line, '=');
    *value++ = '\0';
    const char* why = ApplyAddressSetting(line, value);
    if (why != nullptr) std::fprintf(stderr, "Quillara!: %s=%s: %s, ignored\n", line, value, why);
  }
  std::free(query);
  NormaliseCountRanges(SaverSettings);
}

// A WebGL context through EGL, which starts the emulation of OpenGL 1.1:
// RGB, no alpha (the clear colour's alpha must not show the page through),
// no depth, no antialiasing, as the Windows saver's pixel format.
bool CreateGLContext() {
  const EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  const EGLint wanted[] = {EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
  const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
  EGLConfig config;
  EGLint count = 0;
  if (!eglInitialize(display, nullptr, nullptr) ||
      !eglChooseConfig(display, wanted, &config, 1, &count) || count == 0) {
    return false;
  }
  const EGLSurface surface = eglCreateWindowSurface(display, config, 0, nullptr);
  const EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
  return context != EGL_NO_CONTEXT && eglMakeCurrent(display, surface, surface, context);
}

// The canvas's drawing buffer at the display's own pixels for the size the
// page gives it.
void SizeCanvas(int32_t* width, int32_t* height) {
  double cssWidth = 0.0, cssHeight = 0.0;
  emscripten_get_element_css_size(Canvas, &cssWidth, &cssHeight);
  const double ratio = emscripten_get_device_pixel_ratio();
  *width = static_cast<int32_t>(std::lround(cssWidth * ratio));
  *height = static_cast<int32_t>(std::lround(cssHeight * ratio));
  emscripten_set_canvas_element_size(Canvas, *width, *height);
}

void CountFrame(double now, int32_t steps) {
  if (!Rate.shown) return;
  ++Rate.frames;
  Rate.steps += steps;
  const double elapsed = now - Rate.since;
  if (elapsed < 1000.0) return;
  char text[64];
  std::snprintf(text, sizeof text, "FPS: %.1f\nSteps: %.1f", Rate.frames * 1000.0 / elapsed,
                Rate.steps * 1000.0 / elapsed);
  ShowRate(text);
  Rate = {true, now, 0, 0};
}

// Each animation frame steps the universe for the time since the last one,
// in whole 10 ms steps, and draws once if anything changed.
EM_BOOL OnAnimationFrame(double now, void*) {
  if (Hidden) {
    Looping = false;
    return EM_FALSE;
  }
  if (!Timing.started) {  // the first frame, or the first since the page was shown again
    Timing = {true, now, 0.0};
    Rate = {Rate.shown, now, 0, 0};
  }
  const double elapsed = now - Timing.last;
  Timing.last = now;
  Timing.backlog += elapsed < 0.0 ? 0.0 : (elapsed > LongestCatchUpMs ? LongestCatchUpMs : elapsed);
  int32_t steps = 0;
  for (; Timing.backlog >= StepMs; Timing.backlog -= StepMs) {
    StepUniverse();
    ++steps;
  }
  if (steps > 0 || RedrawDue) {
    RedrawPicture();
    RedrawDue = false;
  }
  StepsMade += steps;
  CountFrame(now, steps);
  return EM_TRUE;
}

void StartFrames() {
  if (Looping) return;
  Looping = true;
  emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
}

// Hidden, nothing runs; shown again, the time away is not made up.
EM_BOOL OnVisibilityChange(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  Hidden = event->hidden != 0;
  Timing.started = false;
  if (!Hidden) StartFrames();
  return EM_FALSE;
}

// Resizing clears the canvas: the picture is drawn again at the next frame.
EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
  int32_t width = 0, height = 0;
  SizeCanvas(&width, &height);
  FitWorldToWindow(width, height);
  RedrawDue = true;
  return EM_FALSE;
}

// B, M, N, X and Z, as on Windows; with Control, Alt or Meta a key stays the
// browser's.  Every other key is left alone.
EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
  if (event->ctrlKey || event->altKey || event->metaKey || std::strlen(event->key) != 1) {
    return EM_FALSE;
  }
  char letter = event->key[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  return RunCommandKey(static_cast<uint32_t>(letter)) ? EM_TRUE : EM_FALSE;
}

}  // namespace

// The steps made since the page started, for the page's own checks.
extern "C" EMSCRIPTEN_KEEPALIVE double QuillaraStepsMade() { return StepsMade; }

int main() {
  LoadAddressSettings();
  // Pages opened within the same second still show different universes.
  SeedSalt = static_cast<uint32_t>(emscripten_random() * 4294967296.0);
  if (!CreateGLContext()) {
    ShowNotice("Quillara! needs WebGL, which this browser does not offer or has turned off.");
    return 0;
  }
  int32_t width = 0, height = 0;
  SizeCanvas(&width, &height);
  SetupScene(width, height);
  FitWorldToWindow(width, height);
  emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, OnResize);
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, false, OnKeyDown);
  emscripten_set_visibilitychange_callback(nullptr, false, OnVisibilityChange);
  EmscriptenVisibilityChangeEvent visibility;
  Hidden = emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS &&
           visibility.hidden;
  if (!Hidden) StartFrames();
  return 0;
}
