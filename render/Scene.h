// The fixed view and render state; plain OpenGL 1.1, no window-system calls.
#pragma once
#include <cstdint>

void SetupScene(int32_t width, int32_t height);
void CleanupScene();
