// Measures the native hack on a private 1280 x 1024 Xvfb, in one run:
//  1. one frame of the hack (DrawFrame and PresentFrame on a full universe of
//     15 stars and 15 balls) against a bare glClear + glFinish + present on the
//     same root window, as a ratio of the mean frame times; each frame ends with
//     XSync so that the server's copy of the picture is counted on both sides;
//  2. the program itself at --root --delay 10000: its CPU time per second of
//     wall time (and the server's, for comparison).
// Usage: hack_bench [--seconds S] [--frames N]
#include <GL/gl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render/scene/Scene.h"
#include "sim/Universe.h"
#include "x11/HackWindow.h"
#include "x11/Options.h"

namespace {

double Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

// CPU seconds used so far by process `pid`, from /proc.
double ProcessCpuSeconds(pid_t pid) {
  const std::string path = "/proc/" + std::to_string(pid) + "/stat";
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return 0.0;
  char text[1024] = {};
  const size_t length = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  text[length] = '\0';
  // Fields 14 and 15, user and system time, follow the ")" that ends the name.
  const char* rest = std::strrchr(text, ')');
  unsigned long user = 0, system = 0;
  if (rest == nullptr ||
      std::sscanf(rest + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
                  &system) != 2) {
    return 0.0;
  }
  return static_cast<double>(user + system) / sysconf(_SC_CLK_TCK);
}

// Starts Xvfb 1280 x 1024 and points DISPLAY at it; returns its process id.
pid_t StartServer() {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t server = fork();
  if (server == 0) {
    const std::string fd = std::to_string(ready[1]);
    // -noreset: the frame comparison's client leaves before the hack comes,
    // and a server resetting in between would turn the hack away.
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", "1280x1024x24",
           "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  char number[16] = {};
  if (read(ready[0], number, sizeof number - 1) <= 0) return -1;
  setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
  return server;
}

void BareFrame(const HackWindow& hack) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glFinish();
  PresentFrame(hack);
}

// Mean seconds per frame of the hack's frame and of the bare frame,
// interleaved in short blocks so that drift in the machine's load hits both
// alike; the median of the blocks' ratios shrugs off bursts from other work.
bool CompareFrameCost(int frames) {
  HackOptions options = DefaultOptions;
  options.root = true;
  HackWindow hack;
  if (!OpenHackWindow(options, &hack)) return false;
  SetupScene(hack.width, hack.height);
  ReplaceUniverse(NewUniverseWithCounts(UniverseCapacity, UniverseCapacity));
  std::printf("window %d x %d, %s, universe %d stars, %d balls\n", hack.width, hack.height,
              hack.doubleBuffered ? "double-buffered" : "single-buffered",
              CurrentUniverse->starCount, CurrentUniverse->ballCount);

  const int blocks = 25;
  double ratios[blocks];
  const int perBlock = frames / blocks > 0 ? frames / blocks : 1;
  double hackTime = 0, bareTime = 0;
  for (int i = 0; i < 10; ++i) {  // warm up
    DrawFrame();
    PresentFrame(hack);
    XSync(hack.display, False);
  }
  for (int block = 0; block < blocks; ++block) {
    double start = Now();
    for (int i = 0; i < perBlock; ++i) {
      DrawFrame();
      PresentFrame(hack);
      XSync(hack.display, False);
    }
    const double hackBlock = Now() - start;
    start = Now();
    for (int i = 0; i < perBlock; ++i) {
      BareFrame(hack);
      XSync(hack.display, False);
    }
    const double bareBlock = Now() - start;
    hackTime += hackBlock;
    bareTime += bareBlock;
    ratios[block] = hackBlock / bareBlock;
  }
  std::sort(ratios, ratios + blocks);
  // Where the hack's extra time goes: the physics step alone, and the
  // bodies drawn into a cleared buffer with the finish and the present.
  double stepTime = 0, drawTime = 0;
  for (int block = 0; block < blocks; ++block) {
    double start = Now();
    for (int i = 0; i < perBlock; ++i) {
      CurrentUniverse->ApplyGravity();
      CurrentUniverse->ResolveCollisions();
    }
    stepTime += Now() - start;
    start = Now();
    for (int i = 0; i < perBlock; ++i) {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      CurrentUniverse->Draw();
      glFinish();
      PresentFrame(hack);
      XSync(hack.display, False);
    }
    drawTime += Now() - start;
  }
  const int total = blocks * perBlock;
  const double hackMs = hackTime / total * 1000, bareMs = bareTime / total * 1000;
  std::printf("hack frame, full universe: %8.3f ms per frame (%d frames)\n", hackMs, total);
  std::printf("bare clear+finish+present: %8.3f ms per frame (%d frames)\n", bareMs, total);
  std::printf("  of which physics step:    %8.3f ms per frame\n", stepTime / total * 1000);
  std::printf("  clear+Draw+finish+present:%7.3f ms per frame\n", drawTime / total * 1000);
  std::printf(
      "ratio hack / bare:         %8.3f of the means, %.3f the median of %d blocks"
      " (target <= 1.2)\n",
      hackMs / bareMs, ratios[blocks / 2], blocks);
  CloseHackWindow(&hack);
  return true;
}

// The program itself on the root window for `seconds` of wall time.
bool MeasureHackCpu(pid_t server, double seconds) {
  const double serverStart = ProcessCpuSeconds(server), wallStart = Now();
  const pid_t hack = fork();
  if (hack == 0) {
    execl(HACK, HACK, "--root", "--delay", "10000", static_cast<char*>(nullptr));
    _exit(127);
  }
  usleep(static_cast<useconds_t>(seconds * 1e6));
  kill(hack, SIGTERM);
  int status = 0;
  rusage usage = {};
  wait4(hack, &status, 0, &usage);
  const double wall = Now() - wallStart;
  const double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                     usage.ru_stime.tv_usec / 1e6;
  const double serverCpu = ProcessCpuSeconds(server) - serverStart;
  std::printf("hack --root --delay 10000:  %8.3f s CPU in %.3f s wall = %.1f%% of one core\n", cpu,
              wall, 100.0 * cpu / wall);
  std::printf("  the X server meanwhile:   %8.3f s CPU = %.1f%% of one core\n", serverCpu,
              100.0 * serverCpu / wall);
  std::printf("  exit code %d\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 5.0;
  int frames = 500;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
    if (std::strcmp(argv[i], "--frames") == 0) frames = std::atoi(argv[i + 1]);
  }
  const pid_t server = StartServer();
  if (server < 0) {
    std::fprintf(stderr, "hack_bench: no Xvfb\n");
    return 1;
  }
  const bool compared = CompareFrameCost(frames);
  const bool measured = compared && MeasureHackCpu(server, seconds);
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  std::fflush(stdout);
  return measured ? 0 : 1;
}
