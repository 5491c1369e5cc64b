#include "x11/Options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char HackUsage[] =
    "usage: quillara [--window | --root | --window-id ID] [--delay USECS] [--fps | --no-fps]\n"
    "                [--min-stars N] [--max-stars N] [--min-balls N] [--max-balls N]\n"
    "                [--gravity N] [--visual V] [--install] [--noinstall] [--mono] [--help]\n"
    "Options may also be written with one dash, and values after '='. ID is decimal,\n"
    "or hexadecimal after 0x.\n";

const char HackUsageHint[] = "quillara: \"quillara --help\" lists the options\n";

namespace {

// The framework passes these to every hack; a GL hack has no use for them.
const char* const IgnoredFlags[] = {"install", "noinstall", "mono"};

// Keeps the deadline arithmetic in nanoseconds far from overflow.
const long long LongestDelayUs = 2147483647;

// No option's name is longer; a longer one is unknown.
const size_t LongestName = 15;

bool Is(const char* name, const char* wanted) { return std::strcmp(name, wanted) == 0; }

// The name after one or two dashes; null for anything else.
const char* OptionName(const char* arg) {
  if (arg[0] != '-') return nullptr;
  return arg[1] == '-' ? arg + 2 : arg + 1;
}

// Sets a flag the name stands for; false when it is none.
bool ReadFlag(const char* name, HackOptions* options) {
  if (Is(name, "root") || Is(name, "window")) {
    options->root = Is(name, "root");
  } else if (Is(name, "fps") || Is(name, "no-fps")) {
    options->showFps = Is(name, "fps");
  } else if (Is(name, "help")) {
    options->help = true;
  } else {
    for (const char* flag : IgnoredFlags) {
      if (Is(name, flag)) return true;
    }
    return false;
  }
  return true;
}

bool TakesValue(const char* name) {
  return Is(name, "visual") || Is(name, "window-id") || Is(name, "delay") ||
         FindSettingByOption(name) != nullptr;
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

// Null once `value` is stored for the option `name`, else why it was not.
const char* ReadValue(const char* name, const char* value, HackOptions* options) {
  if (Is(name, "visual")) return nullptr;
  if (Is(name, "window-id")) {
    return ReadWindowId(value, &options->windowId) ? nullptr : "not a window id";
  }
  long long number = 0;
  if (!ReadNumber(value, &number)) return "not a number";
  const SettingRow* setting = FindSettingByOption(name);
  if (setting == nullptr) {  // the one number that is no setting
    options->delayUs = Clamp(number, 0, LongestDelayUs);
  } else {
    SetClamped(options->settings, *setting, number);
  }
  return nullptr;
}

// `shown` characters of `arg` name the option; a value that was refused follows.
bool Refuse(OptionProblem* problem, const char* arg, size_t shown, const char* why,
            const char* value = nullptr) {
  std::snprintf(problem->text, sizeof problem->text, "%.*s: %s%s%s", static_cast<int>(shown), arg,
                why, value != nullptr ? ": " : "", value != nullptr ? value : "");
  return false;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, HackOptions* options, OptionProblem* problem) {
  *options = DefaultOptions;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* name = OptionName(arg);
    if (name == nullptr) return Refuse(problem, arg, std::strlen(arg), "not an option");
    // The name, without the dashes and any "=value", in a copy to compare.
    const size_t length = std::strcspn(name, "=");
    const size_t shown = static_cast<size_t>(name - arg) + length;
    const char* attached = name[length] == '=' ? name + length + 1 : nullptr;
    char bare[LongestName + 1] = {};
    if (length <= LongestName) std::memcpy(bare, name, length);
    if (ReadFlag(bare, options)) {
      if (attached != nullptr) return Refuse(problem, arg, shown, "takes no value");
      continue;
    }
    if (!TakesValue(bare)) return Refuse(problem, arg, shown, "unknown option");
    const char* value = attached != nullptr ? attached : (i + 1 < argc ? argv[++i] : nullptr);
    if (value == nullptr) return Refuse(problem, arg, shown, "needs a value");
    const char* why = ReadValue(bare, value, options);
    if (why != nullptr) return Refuse(problem, arg, shown, why, value);
  }
  if (options->windowId != 0) options->root = false;
  NormaliseCountRanges(options->settings);
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
