// Random command lines against a plain model of the rules: no crash, and the
// readers agree with the model on every input.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "host/CommandLine.h"
#include "host/StartUp.h"

namespace {

// The rules written a second way, over string indices.
size_t ModelTailStart(const std::string& line) {
  size_t i = 0;
  auto at = [&](size_t k) { return k < line.size() ? static_cast<unsigned char>(line[k]) : 0u; };
  if (at(0) == '"') {
    i = 1;
    while (at(i) != 0 && at(i) != '"') ++i;
    if (at(i) == '"') ++i;
  } else {
    while (at(i) > ' ') ++i;
  }
  while (at(i) != 0 && at(i) <= ' ') ++i;
  return i;
}

uint32_t ModelHandle(const std::string& text, size_t from) {
  uint64_t value = 0;
  for (size_t i = from; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = (value * 10 + static_cast<uint64_t>(text[i] - '0')) % 4294967296ull;
  }
  return static_cast<uint32_t>(value);
}

struct ModelSwitch {
  SaverSwitch kind;
  size_t rest;
};

ModelSwitch ModelFirstSwitch(const std::string& tail) {
  size_t i = 0;
  while (i < tail.size() && (tail[i] == ' ' || tail[i] == '-' || tail[i] == '/')) ++i;
  if (i == tail.size()) return {SaverSwitch::ConfigureUnowned, i};
  char letter = tail[i];
  auto skipSpaces = [&](size_t k) {
    while (k < tail.size() && tail[k] == ' ') ++k;
    return k;
  };
  if (letter == 's' || letter == 'S') return {SaverSwitch::FullScreen, i + 1};
  if (std::string("pPlL").find(letter) != std::string::npos)
    return {SaverSwitch::Preview, skipSpaces(i + 1)};
  if (letter == 'c' || letter == 'C') return {SaverSwitch::ConfigureOwned, i + 1};
  if (letter == 'a' || letter == 'A') return {SaverSwitch::PasswordChange, skipSpaces(i + 1)};
  return {SaverSwitch::Unknown, i};
}

std::string RandomText(std::mt19937& random) {
  static const std::string common = " -/\t\"sSpPlLcCaAxX:0123456789";
  std::uniform_int_distribution<int> length(0, 40), pick(0, 9), any(1, 255), index(0, 200);
  std::string text;
  int n = length(random);
  for (int i = 0; i < n; ++i) {
    int kind = pick(random);
    if (kind < 6) {
      text += common[index(random) % common.size()];
    } else if (kind < 8) {
      text += static_cast<char>(0x80 + index(random) % 128);  // high bytes
    } else if (kind == 8) {
      text += std::string(1 + index(random) % 30,
                          static_cast<char>('0' + index(random) % 10));  // digit run
    } else {
      text += static_cast<char>(any(random));
    }
  }
  return text;
}

}  // namespace

TEST(CommandLineFuzz, RandomLinesAgreeWithTheModel) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 20000; ++round) {
    std::string line = RandomText(random);
    if (round % 3 == 0) line = "\"" + line;  // many unterminated or odd quotes
    const char* tail = CommandLineTail(line.c_str());
    size_t tailStart = static_cast<size_t>(tail - line.c_str());
    ASSERT_EQ(ModelTailStart(line), tailStart)
        << "line of " << line.size() << " bytes, round " << round;

    std::string tailText = line.substr(tailStart);
    SwitchReading reading = ReadFirstSwitch(tail);
    ModelSwitch model = ModelFirstSwitch(tailText);
    ASSERT_EQ(static_cast<int>(model.kind), static_cast<int>(reading.kind)) << "round " << round;
    ASSERT_EQ(model.rest, static_cast<size_t>(reading.rest - tail)) << "round " << round;

    size_t rest = model.rest;
    ASSERT_EQ(ModelHandle(tailText, rest), ParseWindowHandle(reading.rest)) << "round " << round;
    uint32_t owner =
        rest < tailText.size() && tailText[rest] == ':' ? ModelHandle(tailText, rest + 1) : 0;
    ASSERT_EQ(owner, ReadConfigOwner(reading.rest)) << "round " << round;
  }
}

TEST(CommandLineFuzz, LongDigitRunsWrapLikeThirtyTwoBitArithmetic) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> digit(0, 9), length(1, 200);
  for (int round = 0; round < 5000; ++round) {
    std::string digits;
    int n = length(random);
    for (int i = 0; i < n; ++i) digits += static_cast<char>('0' + digit(random));
    ASSERT_EQ(ModelHandle(digits, 0), ParseWindowHandle(digits.c_str())) << digits;
    ASSERT_EQ(ModelHandle(digits, 0), ParseWindowHandle((digits + "\xFF 99").c_str())) << digits;
  }
}
