#include "x11/Options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char HackUsage[] =
    "usage: quillara [--window | --root | --window-id ID] [--delay USECS] [--fps | --no-fps]\n"
    "                [--min-stars N] [--max-stars N] [--min-balls N] [--max-balls N]\n"
    "                [--gravity N] [--visual V] [--install] [--noinstall] [--mono]\n"
    "Options may also be written with one dash. ID is decimal, or hexadecimal after 0x.\n";

namespace {

struct SettingOption {
  const char* name;
  int32_t SaverSettingsRecord::*field;
  int32_t lowest;
  int32_t highest;
};

const SettingOption SettingOptions[] = {
    {"min-stars", &SaverSettingsRecord::MinStars, FewestBodies, MostBodies},
    {"max-stars", &SaverSettingsRecord::MaxStars, FewestBodies, MostBodies},
    {"min-balls", &SaverSettingsRecord::MinBalls, FewestBodies, MostBodies},
    {"max-balls", &SaverSettingsRecord::MaxBalls, FewestBodies, MostBodies},
    {"gravity", &SaverSettingsRecord::GraviticForce, WeakestGravity, StrongestGravity},
};

// The framework passes these to every hack; a GL hack has no use for them.
const char* const IgnoredFlags[] = {"install", "noinstall", "mono"};

// Keeps the deadline arithmetic in nanoseconds far from overflow.
const long long LongestDelayUs = 2147483647;

bool Is(const char* name, const char* wanted) { return std::strcmp(name, wanted) == 0; }

// The name after one or two dashes; null for anything else.
const char* OptionName(const char* arg) {
  if (arg[0] != '-') return nullptr;
  return arg[1] == '-' ? arg + 2 : arg + 1;
}

bool IsIgnoredFlag(const char* name) {
  for (const char* flag : IgnoredFlags) {
    if (Is(name, flag)) return true;
  }
  return false;
}

// Numbers beyond long long saturate, so they clamp like any other.
bool ReadNumber(const char* text, long long* value) {
  char* end = nullptr;
  *value = std::strtoll(text, &end, 10);
  return end != text && *end == '\0';
}

long long Clamp(long long value, long long lowest, long long highest) {
  return value < lowest ? lowest : (value > highest ? highest : value);
}

// False when `name` takes no value of this kind or `value` is unreadable.
bool ReadValueOption(const char* name, const char* value, HackOptions* options) {
  if (Is(name, "visual")) return true;
  if (Is(name, "window-id")) return ReadWindowId(value, &options->windowId);
  long long number = 0;
  if (!ReadNumber(value, &number)) return false;
  if (Is(name, "delay")) {
    options->delayUs = Clamp(number, 0, LongestDelayUs);
    return true;
  }
  for (const SettingOption& setting : SettingOptions) {
    if (Is(name, setting.name)) {
      options->settings.*setting.field =
          static_cast<int32_t>(Clamp(number, setting.lowest, setting.highest));
      return true;
    }
  }
  return false;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, HackOptions* options) {
  *options = DefaultOptions;
  for (int i = 1; i < argc; ++i) {
    const char* name = OptionName(argv[i]);
    if (name == nullptr) return false;
    if (Is(name, "root") || Is(name, "window")) {
      options->root = Is(name, "root");
    } else if (Is(name, "fps") || Is(name, "no-fps")) {
      options->showFps = Is(name, "fps");
    } else if (!IsIgnoredFlag(name)) {
      if (i + 1 == argc || !ReadValueOption(name, argv[i + 1], options)) return false;
      ++i;
    }
  }
  if (options->windowId != 0) options->root = false;
  NormaliseRange(options->settings.MinStars, options->settings.MaxStars);
  NormaliseRange(options->settings.MinBalls, options->settings.MaxBalls);
  return true;
}

bool ReadWindowId(const char* text, unsigned long* id) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits[0] == '\0' || digits[std::strspn(digits, allowed)] != '\0') return false;
  errno = 0;
  const unsigned long long value = std::strtoull(digits, nullptr, hex ? 16 : 10);
  if (errno == ERANGE || value == 0 || value > 0xFFFFFFFFull) return false;
  *id = static_cast<unsigned long>(value);
  return true;
}
