// The resources as the built quillara.scr carries them: the bytes of dialog
// template 2003, the description string and the icon, all in US English.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr WORD UsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The program file, mapped as data: its resources without running its code.
HMODULE Scr() {
  static HMODULE module = [] {
    std::string path = "Z:" QUILLARA_SCR_PATH;
    for (char& c : path) c = c == '/' ? '\\' : c;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }();
  return module;
}

const unsigned char* FindResourceBytes(LPCSTR type, LPCSTR name, DWORD* size) {
  HMODULE module = Scr();
  HRSRC found = FindResourceExA(module, type, name, UsEnglish);
  if (!found) return nullptr;
  *size = SizeofResource(module, found);
  return static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
}

// Reads a standard dialog template field by field.
struct TemplateReader {
  const unsigned char* start;
  const unsigned char* at;
  WORD Word() {
    WORD w;
    std::memcpy(&w, at, 2);
    at += 2;
    return w;
  }
  DWORD Dword() {
    const DWORD low = Word();  // the low word comes first
    return low | static_cast<DWORD>(Word()) << 16;
  }
  short Short() { return static_cast<short>(Word()); }
  // A string or an ordinal (0xFFFF then a word); ordinals come back as "#n".
  std::string NameOrOrdinal() {
    std::string text;
    WORD first = Word();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    for (WORD c = first; c != 0; c = Word()) text += static_cast<char>(c);
    return text;
  }
  void AlignDword() { at = start + ((at - start + 3) & ~3); }
};

// Predefined classes may be stored as ordinals, and the resource compiler
// stores class names upper-cased; window class names ignore case anyway.
std::string ClassName(const std::string& raw) {
  if (raw == "#128") return "BUTTON";
  if (raw == "#130") return "STATIC";
  if (raw == "#133") return "COMBOBOX";
  std::string upper = raw;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return upper;
}

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  DWORD style;
  short x, y, width, height;
};

const char Credit[] = "Quillara! - stars, balls and gravity, by the Quillara team";

const ExpectedControl ExpectedControls[18] = {
    {1, "BUTTON", "OK", 0x50010001, 49, 128, 50, 14},
    {2, "BUTTON", "Cancel", 0x50010000, 117, 128, 50, 14},
    {1001, "MSCTLS_TRACKBAR32", "Slider1", 0x50010018, 49, 74, 146, 15},
    {-1, "STATIC", "Weaker", 0x50020000, 45, 90, 32, 8},
    {-1, "STATIC", "Stronger", 0x50020000, 177, 89, 28, 8},
    {-1, "BUTTON", "Objects in the universe", 0x50000007, 19, 6, 197, 51},
    {-1, "STATIC", "Between", 0x50020000, 27, 22, 29, 8},
    {-1, "STATIC", "Between", 0x50020000, 27, 41, 29, 8},
    {-1, "STATIC", "and", 0x50020000, 95, 22, 15, 8},
    {-1, "STATIC", "and", 0x50020000, 95, 41, 15, 8},
    {-1, "STATIC", "stars", 0x50020000, 144, 22, 16, 8},
    {-1, "STATIC", "bouncy balls", 0x50020000, 146, 41, 40, 8},
    {-1, "BUTTON", "Gravitic force", 0x50000007, 19, 63, 198, 40},
    {-1, "STATIC", Credit, 0x50020000, 25, 111, 199, 9},
    {1008, "COMBOBOX", "", 0x50210003, 62, 20, 27, 139},
    {1009, "COMBOBOX", "", 0x50210003, 111, 20, 27, 139},
    {1010, "COMBOBOX", "", 0x50210003, 62, 39, 27, 139},
    {1011, "COMBOBOX", "", 0x50210003, 112, 38, 27, 139},
};

}  // namespace

TEST(Resources, DialogTemplateMatchesTheLayoutExactly) {
  DWORD size = 0;
  const unsigned char* bytes = FindResourceBytes(RT_DIALOG, MAKEINTRESOURCEA(2003), &size);
  ASSERT_NE(nullptr, bytes) << "no US English dialog 2003";
  ASSERT_NE(0xFFFF, reinterpret_cast<const WORD*>(bytes)[1])
      << "an extended template, not a standard one";

  TemplateReader reader = {bytes, bytes};
  EXPECT_EQ(0x80C800D0u, reader.Dword());  // style
  EXPECT_EQ(0u, reader.Dword());           // extended style
  ASSERT_EQ(18, reader.Word());
  EXPECT_EQ(0, reader.Short());
  EXPECT_EQ(0, reader.Short());
  EXPECT_EQ(238, reader.Short());
  EXPECT_EQ(156, reader.Short());
  EXPECT_EQ("", reader.NameOrOrdinal()) << "menu";
  EXPECT_EQ("", reader.NameOrOrdinal()) << "dialog class";
  EXPECT_EQ("Quillara!", reader.NameOrOrdinal());
  EXPECT_EQ(8, reader.Word());
  EXPECT_EQ("MS Sans Serif", reader.NameOrOrdinal());

  for (int i = 0; i < 18; ++i) {
    const ExpectedControl& expected = ExpectedControls[i];
    SCOPED_TRACE("control " + std::to_string(i + 1));
    reader.AlignDword();
    EXPECT_EQ(expected.style, reader.Dword());
    EXPECT_EQ(0u, reader.Dword());
    EXPECT_EQ(expected.x, reader.Short());
    EXPECT_EQ(expected.y, reader.Short());
    EXPECT_EQ(expected.width, reader.Short());
    EXPECT_EQ(expected.height, reader.Short());
    EXPECT_EQ(static_cast<WORD>(expected.id), reader.Word());
    EXPECT_EQ(expected.className, ClassName(reader.NameOrOrdinal()));
    EXPECT_EQ(expected.text, reader.NameOrOrdinal());
    EXPECT_EQ(0, reader.Word()) << "creation data";
  }
  EXPECT_LE(static_cast<size_t>(reader.at - bytes), size);
}

TEST(Resources, DescriptionIsStringOneAndIconGroup100OneImageOf32By32In16Colours) {
  char text[64] = {};
  EXPECT_EQ(9, LoadStringA(Scr(), 1, text, sizeof text));
  EXPECT_STREQ("Quillara!", text);
  EXPECT_EQ(0, LoadStringA(Scr(), 2, text, sizeof text)) << "the only string";

  DWORD size = 0;
  const unsigned char* group = FindResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(100), &size);
  ASSERT_NE(nullptr, group);
  ASSERT_EQ(6u + 14u, size) << "one directory entry";
  WORD header[3], planes, bits, id;
  std::memcpy(header, group, 6);
  std::memcpy(&planes, group + 6 + 4, 2);
  std::memcpy(&bits, group + 6 + 6, 2);
  std::memcpy(&id, group + 6 + 12, 2);
  EXPECT_EQ(0, header[0]);
  EXPECT_EQ(1, header[1]) << "icon, not cursor";
  EXPECT_EQ(1, header[2]) << "one image";
  EXPECT_EQ(32, group[6]);
  EXPECT_EQ(32, group[7]);
  EXPECT_EQ(16, group[8]) << "colours";
  EXPECT_EQ(1, planes);
  EXPECT_EQ(4, bits);
  const unsigned char* image = FindResourceBytes(RT_ICON, MAKEINTRESOURCEA(id), &size);
  ASSERT_NE(nullptr, image);
  BITMAPINFOHEADER info;
  std::memcpy(&info, image, sizeof info);
  EXPECT_EQ(32, info.biWidth);
  EXPECT_EQ(64, info.biHeight) << "colour rows plus mask rows";
  EXPECT_EQ(4, info.biBitCount);
  EXPECT_EQ(40u + 16u * 4u + 32u * 16u + 32u * 4u, size);
}
