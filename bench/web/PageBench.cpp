// The page's frame cost, measured inside the page by the comparison the
// saver's and the hack's benchmarks make (bench/common/FrameCost.h): the
// scene's frame against a bare clear and finish.  A browser shows a frame
// only after the script that drew it returns; in its place each frame reads
// one pixel back, which waits until the drawing is done, as the hack's
// present waits for the X server.
#include <GL/gl.h>
#include <emscripten.h>

#include "bench/common/FrameCost.h"

namespace {
void WaitForDrawing() {
  unsigned char pixel[4];
  glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}
}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE double BenchFrameCost(int frames) {
  return CompareFrameCost(frames, WaitForDrawing, "read-back");
}
