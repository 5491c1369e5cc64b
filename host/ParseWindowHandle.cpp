#include "host/StartUp.h"

// Decimal digits only, no blank or sign; the value wraps modulo 2^32 like the
// 32-bit handle it stands for.
uint32_t ParseWindowHandle(const char* text) {
  uint32_t value = 0;
  for (const char* at = text; *at >= '0' && *at <= '9'; ++at) {
    value = value * 10u + static_cast<uint32_t>(*at - '0');
  }
  return value;
}
