// The resources as the built quillara.scr carries them, read as data (its dialog, found by its
// caption, is the settings tests' and the /c command lines').
#include <gtest/gtest.h>
#include <windows.h>

TEST(Resources, TheProgramCarriesItsDescriptionAndIcon) {
  HMODULE scr = LoadLibraryExA("Z:" QUILLARA_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, scr) << "without the .scr this program would read its own resources";
  char text[32] = "";
  LoadStringA(scr, 1, text, sizeof text);
  EXPECT_STREQ("Quillara!", text);
  HRSRC icons = FindResourceA(scr, MAKEINTRESOURCEA(100), RT_GROUP_ICON);
  ASSERT_EQ(6u + 14u, SizeofResource(scr, icons)) << "one image";
  const BYTE* image = static_cast<const BYTE*>(LockResource(LoadResource(scr, icons))) + 6;
  EXPECT_TRUE(image[0] == 32 && image[1] == 32 && image[2] == 16) << "32 x 32, 16 colours";
}
