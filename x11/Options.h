// The hack's command line: where it draws, how often, and the five settings.
#pragma once
#include <cstdint>

#include "config/SaverSettings.h"

struct HackOptions {
  bool root;               // the screen saver's window or the root
  unsigned long windowId;  // a window handed over; 0 for none. Wins over root.
  long long delayUs;       // from the start of one frame to the next
  bool showFps;
  bool help;  // --help: the usage on standard output, nothing drawn
  SaverSettingsRecord settings;
};

// Without options: a window of its own, 100 frames a second, no rate shown,
// and the saver's fallback settings.
constexpr HackOptions DefaultOptions = {false, 0, 10000, false, false, FallbackSettings};

extern const char HackUsage[];
// The line after a refused command line, pointing to the usage.
extern const char HackUsageHint[];

// Why a command line was refused: one line that names the argument, such as
// "--delay: not a number: x".
struct OptionProblem {
  char text[160];
};

// Reads argv[1..argc-1] over the defaults; a value follows its option as the
// next argument or after '='. Counts are clamped to 1..12, gravity to
// 40..120, a negative delay to 0, and reversed pairs ordered. False, with
// the problem, for an unknown option, a missing value, a value that is no
// number or window id, and a value given to an option that takes none.
bool ParseOptions(int argc, const char* const* argv, HackOptions* options, OptionProblem* problem);

// A window id: hexadecimal after 0x or 0X, else decimal; 1 to 0xFFFFFFFF.
bool ReadWindowId(const char* text, unsigned long* id);
