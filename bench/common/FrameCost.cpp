#include "bench/common/FrameCost.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "render/scene/Scene.h"
#include "sim/Universe.h"

namespace {

const int Blocks = 25;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Seconds that `frames` runs of `frame` take.
template <typename Frame>
double Time(int frames, Frame frame) {
  const double start = Now();
  for (int i = 0; i < frames; ++i) frame();
  return Now() - start;
}

}  // namespace

double CompareFrameCost(int frames, void (*present)(), const char* name) {
  ReplaceUniverse(NewUniverseWithCounts(UniverseCapacity, UniverseCapacity));
  std::printf("universe %d stars, %d balls\n", CurrentUniverse->starCount,
              CurrentUniverse->ballCount);
  auto sceneFrame = [present] {
    DrawFrame();
    present();
  };
  auto bareFrame = [present] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    present();
  };
  auto step = [] {
    CurrentUniverse->ApplyGravity();
    CurrentUniverse->ResolveCollisions();
  };
  auto drawing = [present] {
    RedrawPicture();
    present();
  };
  const int perBlock = frames / Blocks > 0 ? frames / Blocks : 1;
  Time(10, sceneFrame);  // warm up
  double ratios[Blocks];
  double sceneTime = 0, bareTime = 0, stepTime = 0, drawTime = 0;
  for (int block = 0; block < Blocks; ++block) {
    const double scene = Time(perBlock, sceneFrame), bare = Time(perBlock, bareFrame);
    sceneTime += scene;
    bareTime += bare;
    ratios[block] = scene / bare;
    stepTime += Time(perBlock, step);
    drawTime += Time(perBlock, drawing);
  }
  std::sort(ratios, ratios + Blocks);
  const double total = Blocks * perBlock / 1000.0;  // thousands of frames: ms per frame
  char scene[64], bare[64], drawn[64];
  std::snprintf(scene, sizeof scene, "scene frame + %s", name);
  std::snprintf(bare, sizeof bare, "bare clear+finish + %s", name);
  std::snprintf(drawn, sizeof drawn, "  clear+Draw+finish + %s", name);
  std::printf("%-36s %8.3f ms per frame (%d frames)\n", scene, sceneTime / total, Blocks * perBlock);
  std::printf("%-36s %8.3f ms per frame\n", bare, bareTime / total);
  std::printf("%-36s %8.3f ms per frame\n", "  of which physics step", stepTime / total);
  std::printf("%-36s %8.3f ms per frame\n", drawn, drawTime / total);
  std::printf("%-36s %8.3f of the means, %.3f the median of %d blocks (target <= 1.2)\n",
              "ratio scene / bare", sceneTime / bareTime, ratios[Blocks / 2], Blocks);
  return ratios[Blocks / 2];
}
