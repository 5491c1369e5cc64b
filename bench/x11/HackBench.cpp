// Measures the native hack on a private 1280 x 1024 Xvfb, in one run:
//  1. one frame of the hack (DrawFrame and PresentFrame on a full universe)
//     against a bare glClear + glFinish + present on the same root window
//     (bench/common/FrameCost.h);
//  2. the program itself at --root --delay 10000: its CPU time per second of
//     wall time (and the server's, for comparison).
// Usage: hack_bench [--seconds S] [--frames N]
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/common/BenchOptions.h"
#include "bench/common/FrameCost.h"
#include "render/scene/Scene.h"
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

HackWindow Hack;

// Each frame ends with XSync, so that the server's copy of the picture is
// counted on both sides.
void Present() {
  PresentFrame(Hack);
  XSync(Hack.display, False);
}

// The frame cost on the root window.
bool CompareHackFrameCost(int frames) {
  HackOptions options = DefaultOptions;
  options.root = true;
  if (!OpenHackWindow(options, &Hack)) return false;
  SetupScene(Hack.width, Hack.height);
  std::printf("window %d x %d, %s\n", Hack.width, Hack.height,
              Hack.doubleBuffered ? "double-buffered" : "single-buffered");
  CompareFrameCost(frames, Present, "present");
  CloseHackWindow(&Hack);
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
  const BenchOptions options = ReadBenchOptions(argc, argv);
  const pid_t server = StartServer();
  if (server < 0) {
    std::fprintf(stderr, "hack_bench: no Xvfb\n");
    return 1;
  }
  const bool compared = CompareHackFrameCost(options.frames);
  const bool measured = compared && MeasureHackCpu(server, options.seconds);
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  std::fflush(stdout);
  return measured ? 0 : 1;
}
