// The hack as a screen-saver framework runs it, each test on an Xvfb of its own; its options.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>

#include "x11/Options.h"
#include "x11/XErrorLog.h"

namespace {

const int Width = 300, Height = 240;
const Window Gone = 0x12345;  // below every client's ids: no window

pid_t Start(const std::string& command) {  // a child that dies with the test
  const pid_t pid = fork();
  if (pid == 0)
    _exit(prctl(PR_SET_PDEATHSIG, SIGKILL) ||
          execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), nullptr));
  return pid;
}

int ExitCode(pid_t pid) {  // -1 unless it ends within a second
  int status = -1;
  for (int tick = 0; tick < 100 && waitpid(pid, &status, WNOHANG) == 0; ++tick) usleep(10000);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Terminated(pid_t pid) { return kill(pid, SIGTERM) == 0 ? ExitCode(pid) : -1; }

std::string Output(const std::string& command, int* status) {  // both streams, bounded in time
  FILE* output = popen(("timeout -s KILL 20 " + command + " 2>&1").c_str(), "r");
  std::string text;
  for (int c; (c = std::fgetc(output)) != EOF;) text += static_cast<char>(c);
  *status = WEXITSTATUS(pclose(output));
  return text;
}

std::vector<unsigned long> Pixels(Display* display, Window window, int w = Width, int h = Height) {
  std::vector<unsigned long> pixels(w * h);  // a whole frame: no black
  for (int tries = 0; tries < 100 && std::count(pixels.begin(), pixels.end(), 0ul); ++tries) {
    usleep(50000);
    XImage* image = XGetImage(display, window, 0, 0, w, h, AllPlanes, ZPixmap);
    for (int i = 0; i < w * h; ++i) pixels[i] = XGetPixel(image, i % w, i / w);
    XDestroyImage(image);
  }
  return pixels;
}

std::string Parsed(std::string line) {  // root id delay fps stars balls gravity; or why not
  std::vector<const char*> argv = {"quillara"};
  for (char* word = strtok(&line[0], " "); word; word = strtok(nullptr, " ")) argv.push_back(word);
  HackOptions o;
  OptionProblem problem;
  if (!ParseOptions(static_cast<int>(argv.size()), argv.data(), &o, &problem)) return problem.text;
  const SaverSettingsRecord& s = o.settings;
  char text[80];
  std::snprintf(text, sizeof text, "%d %lx %lld %d %d-%d %d-%d %d", o.root, o.windowId, o.delayUs,
                o.showFps, s.MinStars, s.MaxStars, s.MinBalls, s.MaxBalls, s.GraviticForce);
  return text;
}

struct Hack : testing::Test {
  Display* display = nullptr;
  pid_t server = 0;
  Window left = 0, right = 0;  // as a framework hands them over: mapped, no input selected
  void SetUp() override {      // -terminate: the server ends with its last client
    int ready[2], number = -1;
    ASSERT_EQ(pipe(ready), 0);
    server = Start("Xvfb -terminate -screen 0 1280x720x24 -displayfd " + std::to_string(ready[1]) +
                   " 2>/dev/null");
    close(ready[1]);
    ASSERT_EQ(std::fscanf(fdopen(ready[0], "r"), "%d", &number), 1);
    setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
    ASSERT_NE(display = XOpenDisplay(nullptr), nullptr);
    left = XCreateSimpleWindow(display, RootWindow(display, 0), 0, 0, Width, Height, 0, 0, 0);
    right = XCreateSimpleWindow(display, RootWindow(display, 0), 320, 0, Width, Height, 0, 0, 0);
    XMapSubwindows(display, RootWindow(display, 0));
    XSync(display, False);
  }
  pid_t StartOn(Window w, const std::string& options) {  // $QUILLARA_HACK: e.g. the packaged one
    const char* hack = getenv("QUILLARA_HACK");
    return Start((hack ? hack : HACK) + (" " + options) + " --window-id " + std::to_string(w));
  }
};

TEST_F(Hack, HandedWindowShowsStarsAndBallsOnGreyUntilSigtermEvenWithTheServerStopped) {
  const pid_t hack = StartOn(left, "-min-balls 12 -max-balls 12 --delay 0 --visual 0x21 -mono");
  const std::vector<unsigned long> p = Pixels(display, left);
  auto n = [&p](unsigned long colour) { return std::count(p.begin(), p.end(), colour); };
  const long grey = n(0x333333), white = n(0xFFFFFF), balls = n(0xFF0000) + n(0xFF00) + n(0xFF);
  EXPECT_TRUE(grey > Width * Height / 2 && white > 0 && balls > 0) << grey << white << balls;
  EXPECT_EQ(grey + white + balls, Width * Height);
  XWindowAttributes attributes;  // all clients' selections: only the hack's
  XGetWindowAttributes(display, left, &attributes);
  EXPECT_EQ(attributes.all_event_masks, StructureNotifyMask | ExposureMask);
  kill(server, SIGSTOP);
  usleep(300000);                  // the hack is soon held by the server: a full socket or a reply
  EXPECT_EQ(Terminated(hack), 0);  // within a second
}

TEST_F(Hack, TwoStartedTogetherDifferAndEndWithZeroOnDestroyOrSigterm) {  // one frame, then still
  const pid_t a = StartOn(left, "--delay 60000000"), b = StartOn(right, "-delay 60000000");
  EXPECT_NE(Pixels(display, left), Pixels(display, right));
  XDestroyWindow(display, left);
  XSync(display, False);
  EXPECT_EQ(ExitCode(a), 0);
  EXPECT_EQ(Terminated(b), 0);
}

TEST_F(Hack, DiscsStayRoundInAWindowMadeTwiceAsWideAsTall) {  // the world's 480 units: 480 pixels
  const pid_t hack = StartOn(right, "--min-stars 1 --max-stars 1 --min-balls 1 --max-balls 1");
  XMoveResizeWindow(display, right, 0, 0, 960, 480);
  int wide = 0, tall = 0;  // the star's white extent, 30 units; a ball may cover its edge
  for (int tries = 0; tries < 10 && (std::abs(wide - 30) > 1 || std::abs(tall - 30) > 1); ++tries) {
    const std::vector<unsigned long> p = Pixels(display, right, 960, 480);
    std::vector<int> columns(960), rows(480);  // those that hold white
    for (int i = 0; i < 960 * 480; ++i)
      if (p[i] == 0xFFFFFF) columns[i % 960] = rows[i / 960] = 1;
    wide = std::count(columns.begin(), columns.end(), 1),
    tall = std::count(rows.begin(), rows.end(), 1);
  }
  EXPECT_TRUE(std::abs(wide - 30) <= 1 && std::abs(tall - wide) <= 1) << wide << " x " << tall;
  EXPECT_EQ(Terminated(hack), 0);
}

TEST_F(Hack, OwnWindowsCommandKeysGiveTheirCountsAndQEndsIt) {
  const pid_t hack =  // a frame each 0.1 s: a new universe is counted before its balls fly off
      Start(HACK " --delay 100000 --min-stars 1 --max-stars 5 --min-balls 1 --max-balls 4");
  Window own = 0, root, parent, *children;
  unsigned count = 0;  // the hack's window: the root's child that is neither of ours
  for (int tries = 0; tries < 100 && !own; ++tries, usleep(50000), XFree(children))
    for (XQueryTree(display, RootWindow(display, 0), &root, &parent, &children, &count); count--;)
      if (children[count] != left && children[count] != right) own = children[count];
  XMoveResizeWindow(display, own, 0, 0, 600, 720);  // a pixel a unit, y within +-360: every ball
  auto press = [&](KeySym key) {
    XKeyEvent event = {KeyPress, 0, True, display, own, root, None, CurrentTime, 9, 9, 9, 9, 0,
                       XKeysymToKeycode(display, key), True};
    XSendEvent(display, own, False, KeyPressMask, reinterpret_cast<XEvent*>(&event));
    XFlush(display);
  };
  const struct { KeySym key; long stars, balls; } keys[] = {
      {XK_n, 1, 1}, {XK_x, 5, 4}, {XK_m, 1, 4}, {XK_z, 5, 1}};
  for (const auto& row : keys) {
    press(row.key);
    long stars = 0, balls = 0;  // discs of 15 and 12 units (stars drawn over balls), by pixels
    for (int tries = 0; tries < 20 && (stars != row.stars || balls != row.balls); ++tries) {
      const std::vector<unsigned long> p = Pixels(display, own, 600, 720);
      const long white = std::count(p.begin(), p.end(), 0xFFFFFF);
      stars = std::lround(white / (M_PI * 15 * 15));
      balls = std::lround((p.size() - white - std::count(p.begin(), p.end(), 0x333333)) /
                          (M_PI * 12 * 12));
    }
    EXPECT_TRUE(stars == row.stars && balls == row.balls) << row.key << ": " << stars << " " << balls;
  }
  press(XK_q);
  EXPECT_EQ(ExitCode(hack), 0);
}

TEST_F(Hack, AWindowThatIsGoneOrInputOnlyOrABadOptionIsOneLineAndOneAndXsecurelockWaits) {
  const Window root = RootWindow(display, 0),
               stale = XCreateSimpleWindow(display, root, 0, 0, 9, 9, 0, 0, 0);
  XChangeProperty(display, stale, XInternAtom(display, "__SWM_VROOT", False), XA_WINDOW, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&Gone), 1);
  char id[16];  // an InputOnly window's
  std::snprintf(id, sizeof id, "%lx",
                XCreateWindow(display, root, 0, 0, 9, 9, 0, 0, InputOnly, nullptr, 0, nullptr));
  XSync(display, False);
  const std::string gone = "quillara: window 0x12345 (from ", inputOnly = id;
  const struct { const char* environment; std::string options, output; int status; } table[] = {
      {"", "--window-id 0x12345", gone + "--window-id) does not exist\n", 1},
      {"0x12345", "--root", gone + "$XSCREENSAVER_WINDOW) does not exist\n", 1},
      {"", "--root", gone + "a virtual root's __SWM_VROOT) does not exist\n", 1},
      {"", "-window-id=0x" + inputOnly,
       "quillara: window 0x" + inputOnly + " (from --window-id) is InputOnly: nothing can be drawn"
       " in it\n", 1},
      {"", "--delay x", "quillara: --delay: not a number: x\n" + std::string(HackUsageHint), 1},
      {"", "--help", HackUsage, 0}};
  int status = -1;
  for (const auto& row : table) {
    setenv("XSCREENSAVER_WINDOW", row.environment, 1);
    EXPECT_EQ(Output(HACK " " + row.options, &status), row.output);
    EXPECT_EQ(status, row.status) << row.options;
  }
  // xsecurelock without ~/.xscreensaver runs each hack in its folder with -root, here on the
  // stale root: two failed starts 2 s apart, then it stops. After a 0 it starts the next at once.
  ASSERT_EQ(std::system("mkdir -p hacks && ln -sf " HACK " hacks/quillara"), 0);
  EXPECT_EQ(Output("env HOME=. XSECURELOCK_XSCREENSAVER_PATH=hacks timeout 5 /usr/libexec/"
                   "xsecurelock/saver_xscreensaver 2>&1 | grep -c 'does not exist'",
                   &status),
            "2\n");
}

TEST_F(Hack, EachKindOfXErrorIsReportedOnceAndCountedAtTheEnd) {
  XSetErrorHandler([](Display* d, XErrorEvent* error) { return LogXError(d, *error), 0; });
  // 12 kinds of request, each refused for the missing id: 8 kinds kept, 4 counted together
  int (*const requests[])(Display*, XID) = {XMapWindow,         XUnmapWindow,   XDestroyWindow,
                                            XDestroySubwindows, XMapSubwindows, XUnmapSubwindows,
                                            XRaiseWindow,       XClearWindow,   XFreePixmap,
                                            XFreeColormap,      XFreeCursor,    XUnloadFont};
  testing::internal::CaptureStderr();
  for (int round = 0; round < 100; ++round)
    for (auto request : requests) request(display, Gone);
  XSync(display, False);
  ReportXErrorCounts();
  const std::string output = testing::internal::GetCapturedStderr();
  const std::regex bounded(
      "quillara: X error BadWindow \\(invalid Window parameter\\) on request 8.0\n(.* on request "
      "\\d+.0\n){7}.* than 8 kinds: the rest only counted\n(.* request \\d+.0 came 100 times\n){8}"
      "quillara: 400 X errors of other kinds\n");
  EXPECT_TRUE(std::regex_match(output, bounded)) << output;
}

TEST(Options, ClampOrderReadIdsRefuseByNameAndTakeTheSettingsFilesLowestHighestAndDefaults) {
  const std::pair<const char*, const char*> table[] = {  // a refusal names the argument
      {"-min-stars 0 -max-stars 13 -min-balls 13 -max-balls 0", "0 0 10000 0 1-12 1-12 60"},
      {"-min-stars 13 -max-stars 0 -min-balls -7 -max-balls=13", "0 0 10000 0 1-12 1-12 60"},
      {"-gravity 99999999999999999999 --delay -1 --fps --window --root", "1 0 0 1 2-9 3-9 120"},
      {"-window-id 0X1aF -root --fps --no-fps -install --noinstall", "0 1af 10000 0 2-9 3-9 60"},
      {"--root --window-id=4294967295 --window -gravity 39 --help",
       "0 ffffffff 10000 0 2-9 3-9 40"},
      {"--delay=5 --visual=0x21 -gravity=-3", "0 0 5 0 2-9 3-9 40"},
      {"--bogus", "--bogus: unknown option"}, {"root", "root: not an option"},
      {"--gravity", "--gravity: needs a value"}, {"-gravity=6o", "-gravity: not a number: 6o"},
      {"--window-id 0x", "--window-id: not a window id: 0x"}, {"--fps=1", "--fps: takes no value"},
      {"--window-id=-5", "--window-id: not a window id: -5"},
      {"--window-id 0", "--window-id: not a window id: 0"},
      {"--window-id 0x100000000", "--window-id: not a window id: 0x100000000"},
      {"--delay=", "--delay: not a number: "}};
  for (const auto& row : table) EXPECT_EQ(Parsed(row.first), row.second) << row.first;
  const std::string xml{std::istreambuf_iterator<char>(std::ifstream(XML).rdbuf()), {}};
  const std::regex number(
      R"re(arg="(--[a-z-]+) %"[^>]*low="(\d+)" high="(\d+)" default="(\d+)")re");
  auto written = [&xml](const std::regex& pattern, const char* format) {
    return std::regex_replace(xml, pattern, format, std::regex_constants::format_no_copy);
  };
  const std::string flags = written(std::regex(R"re(arg(-set)?="(--[a-z-]+)")re"), " $2");
  EXPECT_EQ(written(number, "$2-$3 "), "1-12 1-12 1-12 1-12 40-120 ");
  EXPECT_EQ(Parsed(flags + written(number, " $1 $2")), "1 0 10000 1 1-1 1-1 40");
  EXPECT_EQ(Parsed(flags + written(number, " $1 $3")), "1 0 10000 1 12-12 12-12 120");
  EXPECT_EQ(Parsed(written(number, " $1 $4")), Parsed(""));
  const std::regex rate(R"re(_label="(\d+) frames a second"( arg-set="([^"]+)")?)re");
  int rates = 0;  // each choice gives the rate it names; the first, with no option, the default
  for (std::sregex_iterator m(xml.begin(), xml.end(), rate), end; m != end; ++m, ++rates) {
    long long delay = 0;
    std::sscanf(Parsed((*m)[3]).c_str(), "%*d %*x %lld", &delay);
    EXPECT_EQ(std::stoll((*m)[1]), (1000000 + delay / 2) / delay) << (*m)[0];
    if (rates == 0) EXPECT_FALSE((*m)[2].matched);
  }
  EXPECT_EQ(rates, 5);
}

}  // namespace
