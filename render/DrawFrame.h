// One frame drawn into the back buffer with plain OpenGL; presenting it is
// the caller's business (RunFrame swaps the buffers of the saver window).
#pragma once

// Clears, renews a universe that is too old, advances and draws the current
// universe, and waits for the drawing to finish.
void DrawFrame();
