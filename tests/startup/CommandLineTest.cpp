// The command-line readers: the tail after the program name, the first
// switch, the owner after "c" and decimal window handles; known cases, then
// random lines against a plain model of the rules.
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

TEST(CommandLine, TailAfterTheNameThenTheFirstSwitchAndWhatFollowsIt) {
  struct Case {
    const char* line;
    SaverSwitch kind;
    const char* rest;
  };
  const Case cases[] = {
      {"quillara.scr", SaverSwitch::ConfigureUnowned, ""},
      {"", SaverSwitch::ConfigureUnowned, ""},
      {"quillara.scr   \t", SaverSwitch::ConfigureUnowned, ""},
      {"x  --//", SaverSwitch::ConfigureUnowned, ""},
      {"\"C:\\Saver Dir\\quillara.scr /s", SaverSwitch::ConfigureUnowned, ""},  // all name
      {"\"", SaverSwitch::ConfigureUnowned, ""},
      {"quillara.scr \t \t/s", SaverSwitch::FullScreen, ""},
      {"qu\xE9\xFFllara.scr -/ S", SaverSwitch::FullScreen, ""},  // high bytes are name
      {"\"C:\\a b\\quillara.scr\"/s x /p 12", SaverSwitch::FullScreen, " x /p 12"},
      {"\x01\x1f /s x", SaverSwitch::FullScreen, " x"},  // no name before a blank
      {"C:\\WINDOWS\\quillara.scr   /p 1234  ", SaverSwitch::Preview, "1234  "},
      {"x /P1234", SaverSwitch::Preview, "1234"},
      {"x /L     1234", SaverSwitch::Preview, "1234"},
      {"x /p:1234", SaverSwitch::Preview, ":1234"},
      {"x /p\t1234", SaverSwitch::Preview, "\t1234"},
      {"\"a\tb\" \t/c:12", SaverSwitch::ConfigureOwned, ":12"},
      {"x /C 1234", SaverSwitch::ConfigureOwned, " 1234"},
      {"x -A  77", SaverSwitch::PasswordChange, "77"},
      {"\"\"  x y", SaverSwitch::Unknown, "x y"},
      {"quillara.scr \xE9/s", SaverSwitch::Unknown, "\xE9/s"},
      {"x /\ts", SaverSwitch::Unknown, "\ts"},
      {"x +s", SaverSwitch::Unknown, "+s"},
      {"x \\s", SaverSwitch::Unknown, "\\s"},
  };
  for (const Case& c : cases) {
    SwitchReading reading = ReadFirstSwitch(CommandLineTail(c.line));
    EXPECT_EQ(static_cast<int>(c.kind), static_cast<int>(reading.kind)) << "\"" << c.line << "\"";
    EXPECT_STREQ(c.rest, reading.rest) << "\"" << c.line << "\"";
  }
}

TEST(CommandLine, HandlesAreLeadingDigitsModuloTwoToThe32AndTheOwnerFollowsAColon) {
  struct Case {
    const char* text;
    uint32_t handle, owner;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"1234 5678", 1234, 0},
      {"007", 7, 0},
      {" 1234", 0, 0},  // no blank is skipped
      {"+12", 0, 0},
      {"12\xB9", 12, 0},  // superscript one is no digit
      {"4294967295", 4294967295u, 0},
      {"4294968530", 1234, 0},   // 2^32 + 1234
      {"42949674194", 1234, 0},  // 10 * 2^32 + 1234
      {"100000000000000000000", 1661992960u, 0},
      {":1234", 0, 1234},
      {": 1234", 0, 0},
      {":42abc", 0, 42},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.handle, ParseWindowHandle(c.text)) << "\"" << c.text << "\"";
    EXPECT_EQ(c.owner, ReadConfigOwner(c.text)) << "\"" << c.text << "\"";
  }
  // The 32-bit value becomes a handle the way the platform widens handles:
  // sign-extended, so a handle with bit 31 set still names the same window.
  EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(1234)), WindowFromValue(1234));
  EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(-2147483647)),
            WindowFromValue(0x80000001u));
}

TEST(CommandLine, RandomLinesAgreeWithAPlainModelOfTheRules) {
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
    // Digit runs of up to 200 wrap like 32-bit arithmetic, whatever follows.
    std::string digits(1 + round % 200, '0');
    for (char& d : digits) d = static_cast<char>('0' + random() % 10);
    ASSERT_EQ(ModelHandle(digits, 0), ParseWindowHandle((digits + "\xFF 99").c_str())) << digits;
  }
}
