// The benchmarks' command line: [--seconds S] [--frames N].
#pragma once
#include <cstdlib>
#include <cstring>

struct BenchOptions {
  double seconds;  // how long the program itself is measured
  int frames;      // how many frames each side of the frame-cost comparison draws
};

inline BenchOptions ReadBenchOptions(int argc, char** argv) {
  BenchOptions options = {5.0, 500};
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0) options.seconds = std::atof(argv[i + 1]);
    if (std::strcmp(argv[i], "--frames") == 0) options.frames = std::atoi(argv[i + 1]);
  }
  return options;
}
