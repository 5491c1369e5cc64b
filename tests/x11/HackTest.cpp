// The hack as a screen-saver framework runs it, each test on an Xvfb of its own; its options.
#include <gtest/gtest.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <regex>

#include "x11/Options.h"

namespace {

const int Width = 300, Height = 240;

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

std::vector<unsigned long> Pixels(Display* display, Window window) {  // a whole frame: no black
  std::vector<unsigned long> pixels(Width * Height);
  for (int tries = 0; tries < 100 && std::count(pixels.begin(), pixels.end(), 0ul); ++tries) {
    usleep(50000);
    XImage* image = XGetImage(display, window, 0, 0, Width, Height, AllPlanes, ZPixmap);
    for (int i = 0; i < Width * Height; ++i) pixels[i] = XGetPixel(image, i % Width, i / Width);
    XDestroyImage(image);
  }
  return pixels;
}

std::string Parsed(std::string line) {  // root id delay fps stars balls gravity; "" if rejected
  std::vector<const char*> argv = {"quillara"};
  for (char* word = strtok(&line[0], " "); word; word = strtok(nullptr, " ")) argv.push_back(word);
  HackOptions o;
  if (!ParseOptions(static_cast<int>(argv.size()), argv.data(), &o)) return "";
  const SaverSettingsRecord& s = o.settings;
  char text[80];
  std::snprintf(text, sizeof text, "%d %lx %lld %d %d-%d %d-%d %d", o.root, o.windowId, o.delayUs,
                o.showFps, s.MinStars, s.MaxStars, s.MinBalls, s.MaxBalls, s.GraviticForce);
  return text;
}

struct Hack : testing::Test {
  Display* display = nullptr;
  Window left = 0, right = 0;  // as a framework hands them over: mapped, no input selected
  void SetUp() override {      // -terminate: the server ends with its last client
    FILE* server = popen("exec Xvfb -terminate -screen 0 640x480x24 -displayfd 1 2>/dev/null", "r");
    int number = -1;
    ASSERT_EQ(std::fscanf(server, "%d", &number), 1);
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

TEST_F(Hack, HandedWindowShowsGreyBackgroundWhiteStarsAndColouredBallsUntilSigterm) {
  const pid_t hack = StartOn(left, "-min-balls 12 -max-balls 12 --delay 0 --visual 0x21 -mono");
  const std::vector<unsigned long> p = Pixels(display, left);
  auto n = [&p](unsigned long colour) { return std::count(p.begin(), p.end(), colour); };
  const long grey = n(0x333333), white = n(0xFFFFFF), balls = n(0xFF0000) + n(0xFF00) + n(0xFF);
  EXPECT_TRUE(grey > Width * Height / 2 && white > 0 && balls > 0) << grey << white << balls;
  EXPECT_EQ(grey + white + balls, Width * Height);
  XWindowAttributes attributes;  // all clients' selections: only the hack's
  XGetWindowAttributes(display, left, &attributes);
  EXPECT_EQ(attributes.all_event_masks, StructureNotifyMask | ExposureMask);
  EXPECT_EQ(Terminated(hack), 0);
}

TEST_F(Hack, TwoStartedTogetherDifferAndEndWithZeroOnDestroyOrSigterm) {  // one frame, then still
  const pid_t a = StartOn(left, "--delay 60000000"), b = StartOn(right, "-delay 60000000");
  EXPECT_NE(Pixels(display, left), Pixels(display, right));
  XDestroyWindow(display, left);
  XSync(display, False);
  EXPECT_EQ(ExitCode(a), 0);
  EXPECT_EQ(Terminated(b), 0);
}

TEST(Options, ClampOrderReadIdsRejectAndTakeTheSettingsFilesLowestHighestAndDefaults) {
  const std::pair<const char*, const char*> table[] = {
      {"-min-stars 0 -max-stars 13 -min-balls 13 -max-balls 0", "0 0 10000 0 1-12 1-12 60"},
      {"-min-stars 13 -max-stars 0 -min-balls -7 -max-balls 13", "0 0 10000 0 1-12 1-12 60"},
      {"-min-stars 12 -max-stars 1 -min-balls 9 -max-balls 3", "0 0 10000 0 1-12 3-9 60"},
      {"-gravity 99999999999999999999 --delay -1 --fps --window --root", "1 0 0 1 2-9 3-9 120"},
      {"-window-id 0X1aF -root --fps --no-fps -install --noinstall", "0 1af 10000 0 2-9 3-9 60"},
      {"--root --window-id 4294967295 --window -gravity 39", "0 ffffffff 10000 0 2-9 3-9 40"}};
  for (const auto& row : table) EXPECT_EQ(Parsed(row.first), row.second) << row.first;
  for (const char* bad : {"--bogus", "root", "--gravity", "--gravity 6o", "--window-id 0x",
                          "--window-id -5", "--window-id 0", "--window-id 0x100000000", "--visual"})
    EXPECT_EQ(Parsed(bad), "") << bad;
  FILE* output = popen(HACK " --bogus 2>&1 >/dev/null", "r");  // the program: usage on stderr, 1
  char first[7] = {};
  EXPECT_STREQ(std::fgets(first, sizeof first, output), "usage:");
  EXPECT_EQ(WEXITSTATUS(pclose(output)), 1);
  const std::string xml{std::istreambuf_iterator<char>(std::ifstream(XML).rdbuf()), {}};
  const std::regex number(
      R"re(arg="(--[a-z-]+) %"[^>]*low="(\d+)" high="(\d+)" default="(\d+)")re");
  auto written = [&xml](const std::regex& pattern, const char* format) {
    return std::regex_replace(xml, pattern, format, std::regex_constants::format_no_copy);
  };
  const std::string flags = written(std::regex(R"re(arg(-set)?="(--[a-z-]+)")re"), " $2");
  EXPECT_EQ(written(number, "$2-$3 "), "1-12 1-12 1-12 1-12 40-120 0-100000 ");
  EXPECT_EQ(Parsed(flags + written(number, " $1 $2")), "1 0 0 1 1-1 1-1 40");
  EXPECT_EQ(Parsed(flags + written(number, " $1 $3")), "1 0 100000 1 12-12 12-12 120");
  EXPECT_EQ(Parsed(written(number, " $1 $4")), Parsed(""));
}

}  // namespace
