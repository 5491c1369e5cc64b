// The resources as the built quillara.scr carries them, read as data.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>

TEST(Resources, TheProgramCarriesItsDescriptionIconAndDialog) {
  HMODULE scr = LoadLibraryExA("Z:" QUILLARA_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, scr) << "without the .scr this program would read its own resources";
  char text[32] = "";
  LoadStringA(scr, 1, text, sizeof text);
  EXPECT_STREQ("Quillara!", text);
  HRSRC icons = FindResourceA(scr, MAKEINTRESOURCEA(100), RT_GROUP_ICON);
  ASSERT_EQ(6u + 14u, SizeofResource(scr, icons)) << "one image";
  const BYTE* image = static_cast<const BYTE*>(LockResource(LoadResource(scr, icons))) + 6;
  EXPECT_TRUE(image[0] == 32 && image[1] == 32 && image[2] == 16) << "32 x 32, 16 colours";
  // No menu, no class: the caption follows 18 bytes and two empty words.
  HRSRC dialog = FindResourceA(scr, MAKEINTRESOURCEA(2003), RT_DIALOG);
  ASSERT_NE(nullptr, dialog);
  const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(scr, dialog)));
  EXPECT_EQ(0, std::wcscmp(L"Quillara!", reinterpret_cast<const wchar_t*>(bytes + 22)));
}
