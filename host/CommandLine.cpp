#include "host/CommandLine.h"

#include "host/StartUp.h"

namespace {

bool AboveSpace(const char* at) { return static_cast<unsigned char>(*at) > ' '; }

// Letters compare as signed bytes: 0x80 to 0xFF never match.
bool IsSwitchPrefix(signed char byte) { return byte == ' ' || byte == '-' || byte == '/'; }

const char* SkipSpaces(const char* at) {
  while (*at == ' ') ++at;
  return at;
}

}  // namespace

const char* CommandLineTail(const char* commandLine) {
  const char* at = commandLine;
  if (*at == '"') {
    do {
      at = CharNextA(at);
    } while (*at != '\0' && *at != '"');
    if (*at == '"') ++at;
  } else if (AboveSpace(at)) {
    while (AboveSpace(at)) at = CharNextA(at);
  }
  while (*at != '\0' && !AboveSpace(at)) at = CharNextA(at);
  return at;
}

SwitchReading ReadFirstSwitch(const char* tail) {
  const char* at = tail;
  while (IsSwitchPrefix(static_cast<signed char>(*at))) ++at;
  switch (*at) {
    case '\0':
      return {SaverSwitch::ConfigureUnowned, at};
    case 's':
    case 'S':
      return {SaverSwitch::FullScreen, at + 1};
    case 'p':
    case 'P':
    case 'l':
    case 'L':
      return {SaverSwitch::Preview, SkipSpaces(at + 1)};
    case 'c':
    case 'C':
      return {SaverSwitch::ConfigureOwned, at + 1};
    case 'a':
    case 'A':
      return {SaverSwitch::PasswordChange, SkipSpaces(at + 1)};
    default:
      return {SaverSwitch::Unknown, at};
  }
}

uint32_t ReadConfigOwner(const char* rest) {
  return *rest == ':' ? ParseWindowHandle(rest + 1) : 0;
}
