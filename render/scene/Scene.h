// The scene every host draws through: the fixed view, the universe on show,
// the command keys and the frame drawn into the back buffer.  Plain OpenGL
// 1.1, no window-system calls, so every host draws the same picture.
#pragma once
#include <cstdint>

class Universe;

// The universe every frame advances and draws; owned here, null only before
// the first one is made (or while memory for one could not be had).
extern Universe* CurrentUniverse;

// A universe older than this many seconds is replaced at the next frame.
const int32_t UniverseMaxAge = 60;

// The view: the world rectangle x -300..300, y -240..240 fills the viewport.
void SetupScene(int32_t width, int32_t height);
// For hosts that keep the world's proportions, after SetupScene and at every
// change of size: the whole world rectangle, centred, as large as it fits,
// and more of the universe around it along the window's longer side. Discs
// stay round. The Windows saver keeps SetupScene's stretched view.
void FitWorldToWindow(int32_t width, int32_t height);
void CleanupScene();

// Clears, takes one step and draws the current universe, and waits for the
// drawing to finish. Presenting it is the host's.
void DrawFrame();
// One step of the universe, nothing drawn: a universe that is too old is
// renewed, then gravity and motion, then the bounces.  For a host whose
// steps and frames come at different rates.
void StepUniverse();
// The present picture again, nothing advanced, for a host whose window was
// uncovered between frames; presenting it is the host's.
void RedrawPicture();

// New universes, or null when memory for one cannot be had.
Universe* NewRandomUniverse();
Universe* NewUniverseWithCounts(int32_t stars, int32_t balls);

// The command keys B, M, N, X and Z, by the code of the upper-case letter
// (on Windows, the virtual-key code): a new universe, with counts read from
// SaverSettings now, shown from the next frame.  False for any other code.
// True even when memory for the new universe cannot be had: the key was a
// command, and the current universe stays.
bool RunCommandKey(uint32_t keyCode);

// Puts `fresh` in place and releases the previous universe.  A null `fresh`
// keeps the current one, so a failed allocation only skips a renewal.
void ReplaceUniverse(Universe* fresh);

// The age is the signed 32-bit difference now - creationTime: a clock set
// back gives a negative age, which is never too old.
bool UniverseIsTooOld(int32_t now, int32_t creationTime);

// Replaces the current universe with a random one when it is too old at `now`;
// with none at all (memory failed before), tries to make one.
void RenewUniverseIfTooOld(int32_t now);
