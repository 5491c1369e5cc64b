// Fixture: a private registry, a fixed clock and one saver window.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "tests/render/SaverTestSupport.h"

class SaverWindowTest : public ::testing::Test {
 protected:
  static constexpr int32_t StartTime = 1000000000;  // 2001-09-09, any fixed second will do

  void SetUp() override { UseFakeClock(StartTime); }

  void TearDown() override {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  }

  HWND OpenWindow(int width, int height) {
    window_ = CreateSaverTestWindow(width, height);
    return window_;
  }

  void RunFrames(int count) {
    for (int i = 0; i < count; ++i) SendFrame(window_);
  }

  ScratchRegistry registry_;
  HWND window_ = nullptr;
};
