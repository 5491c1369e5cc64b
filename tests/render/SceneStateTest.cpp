// What creation leaves behind: the context, the fixed view and render state,
// the settings loaded before the first universe, the timer; destruction; and
// a saver without a universe or without a context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "config/SaverSettings.h"
#include "render/DrawFrame.h"
#include "render/GLContext.h"
#include "render/SaverProc.h"
#include "sim/Universe.h"
#include "tests/render/SaverTestSupport.h"

namespace {

class SceneStateTest : public SaverWindowTest {};

void ExpectFloats(GLenum which, std::initializer_list<float> expected) {
  float actual[16] = {};
  glGetFloatv(which, actual);
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(actual[i], expected.begin()[i], 1e-6) << "0x" << std::hex << which << " #" << i;
}

TEST_F(SceneStateTest, CreationSetsUpContextViewRenderStateAndFrameTimer) {
  OpenWindow(640, 512);
  EXPECT_EQ(ClientWidth, 640);
  EXPECT_EQ(ClientHeight, 512);
  ASSERT_NE(RenderContext, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), RenderContext);
  EXPECT_EQ(WindowFromDC(wglGetCurrentDC()), window_);
  PIXELFORMATDESCRIPTOR chosen;
  ASSERT_GT(DescribePixelFormat(DeviceContext, GetPixelFormat(DeviceContext), sizeof chosen,
                                &chosen), 0);
  EXPECT_EQ(chosen.dwFlags & (PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL),
            DWORD(PFD_DOUBLEBUFFER | PFD_SUPPORT_OPENGL));
  EXPECT_EQ(chosen.iPixelType, PFD_TYPE_RGBA);
  EXPECT_GE(chosen.cColorBits, 24);

  ExpectFloats(GL_VIEWPORT, {0, 0, 640, 512});
  // glOrtho(-300, 300, -240, 240, 25, 75), column by column; the eye at
  // (0, 0, 50) looking at the origin, y up.
  ExpectFloats(GL_PROJECTION_MATRIX,
               {1.0f / 300, 0, 0, 0, 0, 1.0f / 240, 0, 0, 0, 0, -2.0f / 50, 0, 0, 0, -2, 1});
  ExpectFloats(GL_MODELVIEW_MATRIX, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -50, 1});
  ExpectFloats(GL_MATRIX_MODE, {GL_MODELVIEW});
  ExpectFloats(GL_COLOR_CLEAR_VALUE, {0.2f, 0.2f, 0.2f, 0.1f});
  ExpectFloats(GL_POINT_SIZE, {5});
  ExpectFloats(GL_POLYGON_MODE, {GL_FILL, GL_FILL});
  ExpectFloats(GL_SHADE_MODEL, {GL_SMOOTH});
  ExpectFloats(GL_CURRENT_COLOR, {0.1f, 1.0f, 0.3f});
  for (GLenum capability : {GL_DEPTH_TEST, GL_LIGHTING, GL_BLEND, GL_CULL_FACE, GL_ALPHA_TEST,
                            GL_TEXTURE_2D, GL_SCISSOR_TEST, GL_STENCIL_TEST})
    EXPECT_FALSE(glIsEnabled(capability)) << "capability 0x" << std::hex << capability;
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  int ticks = 0;
  MSG message;
  for (const DWORD deadline = GetTickCount() + 2000; ticks < 3 && GetTickCount() < deadline;) {
    if (!PeekMessageA(&message, window_, WM_TIMER, WM_TIMER, PM_REMOVE)) {
      Sleep(1);
      continue;
    }
    EXPECT_EQ(message.wParam, FrameTimerId);
    ++ticks;
  }
  EXPECT_EQ(ticks, 3);
}

// Counts beyond the start-up ranges (at most 10) can only come from the
// registry, read before the scene builds the first universe; without a key
// the fallback ranges hold.
TEST_F(SceneStateTest, SettingsAreLoadedBeforeTheFirstUniverse) {
  OpenWindow(320, 256);
  EXPECT_EQ(SaverSettings.MinStars, 2);
  EXPECT_EQ(SaverSettings.MaxStars, 9);
  EXPECT_EQ(SaverSettings.MinBalls, 3);
  EXPECT_EQ(SaverSettings.MaxBalls, 9);
  StoreSettings(12, 12, 11, 11, 70);
  OpenWindow(320, 256);
  ASSERT_NE(CurrentUniverse, nullptr);
  EXPECT_EQ(CurrentUniverse->starCount, 12);
  EXPECT_EQ(CurrentUniverse->ballCount, 11);
  EXPECT_EQ(CurrentUniverse->creationTime, StartTime);
  EXPECT_EQ(SaverSettings.GraviticForce, 70);
  // Frames move the balls.
  const Vec2 start = CurrentUniverse->balls[0]->position;
  RunFrames(10);
  EXPECT_TRUE(CurrentUniverse->balls[0]->position.x != start.x ||
              CurrentUniverse->balls[0]->position.y != start.y);
}

TEST_F(SceneStateTest, DestroyStopsTheTimerReleasesTheContextAndKeepsTheLastUniverse) {
  OpenWindow(320, 256);
  RunFrames(2);
  const HGLRC context = RenderContext;
  const Universe* last = CurrentUniverse;
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
  EXPECT_TRUE(DestroyWindow(window_));
  EXPECT_EQ(CurrentUniverse, last);
  EXPECT_GT(CurrentUniverse->starCount, 0);
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
  EXPECT_TRUE(SendKey('Z'));
  EXPECT_EQ(TakePostedCloses(window_), 0);
  SendKey('A');
  EXPECT_EQ(TakePostedCloses(window_), 1);
  EXPECT_TRUE(DestroyWindow(window_));
  EXPECT_FALSE(IsWindow(window_));
}

}  // namespace
