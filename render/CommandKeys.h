// The five letter keys that replace the universe while the saver runs.
#pragma once
#include <cstdint>

class Universe;

// True for the virtual-key codes of B, M, N, X and Z.
bool IsCommandKey(uint32_t keyCode);

// The universe a command key asks for, with counts read from SaverSettings
// now.  Null when the key is no command or memory cannot be had.
Universe* NewUniverseForKey(uint32_t keyCode);
