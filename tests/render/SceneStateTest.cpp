// What creation leaves behind: the context, the fixed view and render state,
// the settings loaded before the first universe, the timer; and destruction.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "config/SaverSettings.h"
#include "render/DrawFrame.h"
#include "render/GLContext.h"
#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/FailingAllocator.h"
#include "tests/render/PictureOracle.h"
#include "tests/render/SaverWindowTest.h"

namespace {

class SceneStateTest : public SaverWindowTest {};

void ExpectMatrix(GLenum which, const float (&expected)[16]) {
  float actual[16];
  glGetFloatv(which, actual);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6) << "element " << i;
}

TEST_F(SceneStateTest, CreationSetsUpTheFixedViewAndRenderState) {
  OpenWindow(640, 512);
  EXPECT_EQ(ClientWidth, 640);
  EXPECT_EQ(ClientHeight, 512);
  ASSERT_NE(RenderContext, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), RenderContext);
  EXPECT_EQ(wglGetCurrentDC(), DeviceContext);
  EXPECT_EQ(WindowFromDC(DeviceContext), window_);

  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 640);
  EXPECT_EQ(viewport[3], 512);

  // glOrtho(-300, 300, -240, 240, 25, 75), column by column.
  const float projection[16] = {1.0f / 300, 0,          0, 0, 0, 1.0f / 240,   0, 0, 0,
                                0,          -2.0f / 50, 0, 0, 0, -100.0f / 50, 1};
  ExpectMatrix(GL_PROJECTION_MATRIX, projection);
  // Eye at (0, 0, 50) looking at the origin, y up: a move of 50 away.
  const float modelView[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -50, 1};
  ExpectMatrix(GL_MODELVIEW_MATRIX, modelView);

  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);

  float clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[0], 0.2f);
  EXPECT_FLOAT_EQ(clear[1], 0.2f);
  EXPECT_FLOAT_EQ(clear[2], 0.2f);
  EXPECT_FLOAT_EQ(clear[3], 0.1f);

  float pointSize = 0;
  glGetFloatv(GL_POINT_SIZE, &pointSize);
  EXPECT_EQ(pointSize, 5.0f);

  GLint polygonMode[2] = {0, 0};
  glGetIntegerv(GL_POLYGON_MODE, polygonMode);
  EXPECT_EQ(polygonMode[0], GL_FILL);
  EXPECT_EQ(polygonMode[1], GL_FILL);

  GLint shadeModel = 0;
  glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
  EXPECT_EQ(shadeModel, GL_SMOOTH);

  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0], 0.1f);
  EXPECT_FLOAT_EQ(colour[1], 1.0f);
  EXPECT_FLOAT_EQ(colour[2], 0.3f);

  for (GLenum capability : {GL_DEPTH_TEST, GL_LIGHTING, GL_BLEND, GL_CULL_FACE, GL_ALPHA_TEST,
                            GL_TEXTURE_2D, GL_SCISSOR_TEST, GL_STENCIL_TEST}) {
    EXPECT_FALSE(glIsEnabled(capability)) << "capability 0x" << std::hex << capability;
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneStateTest, PixelFormatIsTheDoubleBufferedRgbaRequest) {
  const PIXELFORMATDESCRIPTOR request = MakePixelFormatRequest();
  PIXELFORMATDESCRIPTOR expected;
  std::memset(&expected, 0, sizeof expected);
  expected.nSize = 40;
  expected.nVersion = 1;
  expected.dwFlags = 0x21;
  expected.iPixelType = 0;
  expected.cColorBits = 24;
  EXPECT_EQ(sizeof request, 40u);
  EXPECT_EQ(std::memcmp(&request, &expected, sizeof request), 0);

  OpenWindow(320, 256);
  const int format = GetPixelFormat(DeviceContext);
  ASSERT_GT(format, 0);
  PIXELFORMATDESCRIPTOR chosen;
  ASSERT_GT(DescribePixelFormat(DeviceContext, format, sizeof chosen, &chosen), 0);
  EXPECT_TRUE(chosen.dwFlags & PFD_DOUBLEBUFFER);
  EXPECT_TRUE(chosen.dwFlags & PFD_SUPPORT_OPENGL);
  EXPECT_EQ(chosen.iPixelType, PFD_TYPE_RGBA);
  EXPECT_GE(chosen.cColorBits, 24);
}

TEST_F(SceneStateTest, SettingsAreLoadedBeforeTheFirstUniverse) {
  // Counts beyond the start-up ranges (at most 10) can only come from the
  // registry, read before the scene builds the first universe.
  registry_.StoreSettings(12, 12, 11, 11, 70);
  OpenWindow(320, 256);
  ASSERT_NE(CurrentUniverse, nullptr);
  EXPECT_EQ(CurrentUniverse->starCount, 12);
  EXPECT_EQ(CurrentUniverse->ballCount, 11);
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime);
  EXPECT_EQ(SaverSettings.GraviticForce, 70);
}

TEST_F(SceneStateTest, WithoutAKeyTheFallbackRangesMakeTheFirstUniverse) {
  OpenWindow(320, 256);
  EXPECT_EQ(SaverSettings.MinStars, 2);
  EXPECT_EQ(SaverSettings.MaxStars, 9);
  EXPECT_EQ(SaverSettings.MinBalls, 3);
  EXPECT_EQ(SaverSettings.MaxBalls, 9);
  ASSERT_NE(CurrentUniverse, nullptr);
  EXPECT_GE(CurrentUniverse->starCount, 2);
  EXPECT_LE(CurrentUniverse->starCount, 9);
  EXPECT_GE(CurrentUniverse->ballCount, 3);
  EXPECT_LE(CurrentUniverse->ballCount, 9);
}

TEST_F(SceneStateTest, CountsBeyondCapacityAreHeldToIt) {
  registry_.StoreSettings(40, 40, 99, 99, 80);
  OpenWindow(320, 256);
  ASSERT_NE(CurrentUniverse, nullptr);
  EXPECT_EQ(CurrentUniverse->starCount, UniverseCapacity);
  EXPECT_EQ(CurrentUniverse->ballCount, UniverseCapacity);
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'X', 1), 1);
  EXPECT_EQ(CurrentUniverse->starCount, UniverseCapacity);
  RunFrames(3);
}

TEST_F(SceneStateTest, FrameTimerTicksWithItsIdentifier) {
  OpenWindow(320, 256);
  const DWORD deadline = GetTickCount() + 2000;
  int ticks = 0;
  MSG message;
  while (ticks < 3 && GetTickCount() < deadline) {
    if (PeekMessageA(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      EXPECT_EQ(message.wParam, FrameTimerId);
      ++ticks;
    } else {
      Sleep(1);
    }
  }
  EXPECT_EQ(ticks, 3);
}

TEST_F(SceneStateTest, DestroyStopsTheTimerAndReleasesTheContext) {
  OpenWindow(320, 256);
  RunFrames(2);
  const HGLRC context = RenderContext;
  const Universe* last = CurrentUniverse;
  ASSERT_NE(context, nullptr);
  // WM_DESTROY alone, so the window outlives it and its timer can be watched.
  EXPECT_EQ(SendMessageA(window_, WM_DESTROY, 0, 0), 0);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_FALSE(wglDeleteContext(context));  // already deleted
  EXPECT_EQ(CurrentUniverse, last);
  MSG message;
  while (PeekMessageA(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  Sleep(60);
  EXPECT_FALSE(PeekMessageA(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE))
      << "the frame timer still ticks";
}

TEST_F(SceneStateTest, DestroyingTheWindowKeepsTheLastUniverse) {
  OpenWindow(320, 256);
  RunFrames(2);
  const Universe* last = CurrentUniverse;
  EXPECT_TRUE(DestroyWindow(window_));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(CurrentUniverse, last);
  EXPECT_GT(CurrentUniverse->starCount, 0);
}

TEST_F(SceneStateTest, NoUniverseAtCreationLeavesAClearPictureUntilAKey) {
  {
    AllocationFailureScope noMemory;
    OpenWindow(320, 256);
  }
  ASSERT_NE(window_, nullptr);
  EXPECT_EQ(CurrentUniverse, nullptr);
  RunFrames(3);
  const Picture picture = DrawAndReadBackBuffer();
  int wrong = 0;
  for (int y = 0; y < 256; y += 4)
    for (int x = 0; x < 320; x += 4) wrong += !(picture.At(x, y) == BackgroundColour);
  EXPECT_EQ(wrong, 0);
  // The time for a renewal comes and goes: with nothing to renew, nothing.
  FakeNow = StartTime + 100;
  RunFrames(1);
  EXPECT_EQ(CurrentUniverse, nullptr);
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'B', 1), 1);
  EXPECT_NE(CurrentUniverse, nullptr);
  EXPECT_TRUE(DestroyWindow(window_));
}

TEST_F(SceneStateTest, WithoutAContextTheSaverRunsAndClosesAsUsual) {
  // The state a failed pixel format leaves: no context made or current.
  OpenWindow(320, 256);
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(RenderContext);
  RenderContext = nullptr;
  const Universe* first = CurrentUniverse;
  RunFrames(3);
  FakeNow = StartTime + 61;
  RunFrames(1);
  EXPECT_NE(CurrentUniverse, first);
  EXPECT_EQ(SendMessageA(window_, WM_KEYDOWN, 'Z', 1), 1);
  EXPECT_EQ(TakePostedCloses(window_), 0);
  SendMessageA(window_, WM_KEYDOWN, 'A', 1);
  EXPECT_EQ(TakePostedCloses(window_), 1);
  EXPECT_TRUE(DestroyWindow(window_));
  EXPECT_FALSE(IsWindow(window_));
}

}  // namespace
