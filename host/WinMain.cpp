#include "host/StartUp.h"

// The standard start-up's arguments are not used: SaverEntry reads the
// command line and the module itself, and ends the process.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { SaverEntry(); }
