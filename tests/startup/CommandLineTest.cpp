// The command-line readers on their own: the tail after the program name,
// the first switch, the owner after "c" and decimal handles.
#include <gtest/gtest.h>

#include <string>

#include "host/CommandLine.h"
#include "host/StartUp.h"

namespace {

std::string Tail(const char* commandLine) { return CommandLineTail(commandLine); }

struct SwitchCase {
  const char* tail;
  SaverSwitch kind;
  const char* rest;  // expected text from SwitchReading::rest
};

}  // namespace

TEST(CommandLineTail, SkipsAnUnquotedProgramNameAndTheBlanksAfterIt) {
  EXPECT_EQ("/s", Tail("quillara.scr /s"));
  EXPECT_EQ("/s", Tail("quillara.scr \t \t/s"));
  EXPECT_EQ("/p 1234  ", Tail("C:\\WINDOWS\\quillara.scr   /p 1234  "));
  EXPECT_EQ("", Tail("quillara.scr"));
  EXPECT_EQ("", Tail("quillara.scr   \t"));
  EXPECT_EQ("", Tail(""));
  // Bytes 0x80 to 0xFF are above the space: part of the name.
  EXPECT_EQ("/s", Tail("qu\xE9\xFFllara.scr /s"));
  EXPECT_EQ("\xE9/s", Tail("quillara.scr \xE9/s"));
}

TEST(CommandLineTail, SkipsAQuotedProgramNameWithSpacesWhole) {
  EXPECT_EQ("/s", Tail("\"C:\\Program Files\\Saver Dir\\quillara.scr\" /s"));
  EXPECT_EQ("/s", Tail("\"C:\\a b\\quillara.scr\"/s"))
      << "nothing needed between the quote and the switch";
  EXPECT_EQ("", Tail("\"quillara.scr\""));
  EXPECT_EQ("", Tail("\"\""));
  EXPECT_EQ("x y", Tail("\"\"  x y"));
  EXPECT_EQ("/c:12", Tail("\"a\tb\" \t/c:12"));
}

TEST(CommandLineTail, UnterminatedQuoteMakesTheWholeLineTheName) {
  EXPECT_EQ("", Tail("\"C:\\Saver Dir\\quillara.scr /s"));
  EXPECT_EQ("", Tail("\""));
  EXPECT_EQ("", Tail("\"quillara.scr /p 1234"));
}

TEST(CommandLineTail, LeadingBlankSkipsNoNameOnlyBlanks) {
  EXPECT_EQ("/s", Tail(" /s"));
  EXPECT_EQ("/s", Tail("\t\t/s"));
  EXPECT_EQ("/s x", Tail("\x01\x1f /s x"));
  EXPECT_EQ("", Tail("   "));
}

TEST(CommandLineSwitch, EveryRowOfTheTable) {
  const SwitchCase cases[] = {
      {"", SaverSwitch::ConfigureUnowned, ""},
      {"  --//", SaverSwitch::ConfigureUnowned, ""},
      {"/s", SaverSwitch::FullScreen, ""},
      {"-s", SaverSwitch::FullScreen, ""},
      {"s", SaverSwitch::FullScreen, ""},
      {"/S", SaverSwitch::FullScreen, ""},
      {"//s", SaverSwitch::FullScreen, ""},
      {"-/s", SaverSwitch::FullScreen, ""},
      {"/ s", SaverSwitch::FullScreen, ""},
      {"/s whatever follows /p 12", SaverSwitch::FullScreen, " whatever follows /p 12"},
      {"/p 1234", SaverSwitch::Preview, "1234"},
      {"/P1234", SaverSwitch::Preview, "1234"},
      {"/p     1234", SaverSwitch::Preview, "1234"},
      {"/l 1234", SaverSwitch::Preview, "1234"},
      {"/L 1234", SaverSwitch::Preview, "1234"},
      {"/p", SaverSwitch::Preview, ""},
      {"/p:1234", SaverSwitch::Preview, ":1234"},
      {"/p\t1234", SaverSwitch::Preview, "\t1234"},
      {"/c:1234", SaverSwitch::ConfigureOwned, ":1234"},
      {"/C 1234", SaverSwitch::ConfigureOwned, " 1234"},
      {"/c", SaverSwitch::ConfigureOwned, ""},
      {"/a 1234", SaverSwitch::PasswordChange, "1234"},
      {"-A  77", SaverSwitch::PasswordChange, "77"},
      {"/x", SaverSwitch::Unknown, "x"},
      {"/1", SaverSwitch::Unknown, "1"},
      {"/\ts", SaverSwitch::Unknown, "\ts"},
      {"/\xE9", SaverSwitch::Unknown, "\xE9"},
      {"\x80s", SaverSwitch::Unknown, "\x80s"},
      {"\xFF", SaverSwitch::Unknown, "\xFF"},
      {"+s", SaverSwitch::Unknown, "+s"},
      {"\\s", SaverSwitch::Unknown, "\\s"},
  };
  for (const SwitchCase& c : cases) {
    SwitchReading reading = ReadFirstSwitch(c.tail);
    EXPECT_EQ(static_cast<int>(c.kind), static_cast<int>(reading.kind))
        << "tail \"" << c.tail << "\"";
    EXPECT_STREQ(c.rest, reading.rest) << "tail \"" << c.tail << "\"";
  }
}

TEST(CommandLineSwitch, ConfigOwnerIsReadOnlyAfterAColon) {
  EXPECT_EQ(1234u, ReadConfigOwner(":1234"));
  EXPECT_EQ(0u, ReadConfigOwner(" 1234")) << "a number after a blank is not read";
  EXPECT_EQ(0u, ReadConfigOwner(""));
  EXPECT_EQ(0u, ReadConfigOwner(": 1234"));
  EXPECT_EQ(0u, ReadConfigOwner("1234"));
  EXPECT_EQ(42u, ReadConfigOwner(":42abc"));
}

TEST(ParseWindowHandle, ReadsLeadingDigitsOnly) {
  EXPECT_EQ(0u, ParseWindowHandle(""));
  EXPECT_EQ(1234u, ParseWindowHandle("1234"));
  EXPECT_EQ(1234u, ParseWindowHandle("1234 5678"));
  EXPECT_EQ(7u, ParseWindowHandle("007"));
  EXPECT_EQ(0u, ParseWindowHandle(" 1234")) << "no blank is skipped";
  EXPECT_EQ(0u, ParseWindowHandle("+12"));
  EXPECT_EQ(0u, ParseWindowHandle("-12"));
  EXPECT_EQ(0u, ParseWindowHandle(":12"));
  EXPECT_EQ(12u, ParseWindowHandle("12\xB9"));  // superscript one is no digit
  EXPECT_EQ(4294967295u, ParseWindowHandle("4294967295"));
}

TEST(ParseWindowHandle, WrapsModuloTwoToTheThirtyTwo) {
  EXPECT_EQ(0u, ParseWindowHandle("4294967296"));
  EXPECT_EQ(1234u, ParseWindowHandle("4294968530"));   // 2^32 + 1234
  EXPECT_EQ(1234u, ParseWindowHandle("42949674194"));  // 10 * 2^32 + 1234
  EXPECT_EQ(1234u, ParseWindowHandle("0000000000000000000001234"));
  // 10^20 mod 2^32 = 1661992960
  EXPECT_EQ(1661992960u, ParseWindowHandle("100000000000000000000"));
}
