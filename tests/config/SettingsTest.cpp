// The settings store and the configuration dialog, on a scratch HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>

#include "config/SaverSettings.h"
#include "config/SettingsStore.h"
#include "host/HostState.h"
#include "host/StartUp.h"
#include "resources/ResourceIds.h"
#include "tests/kit/WinTestKit.h"

namespace {

using Five = std::array<int32_t, 5>;
const char Key[] = "Software\\Quillara";
const char* const Names[5] = {"MinStars", "MaxStars", "MinBalls", "MaxBalls", "GraviticForce"};

// One dialog run: the counts to choose (0 leaves a list alone), then OK or
// Cancel clicked or Escape pressed; what the lists and the trackbar showed.
struct Script { int choose[4]; UINT press; Five shown; std::string lists; } Current;

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA("#32770", "Quillara!");
  if (dialog == nullptr || !Current.lists.empty()) return;
  for (int i = 0; i < 4; ++i) {
    HWND list = GetDlgItem(dialog, IDC_MIN_STARS + i);
    if (Current.choose[i] != 0) {
      SendMessageA(list, CB_SETCURSEL, Current.choose[i] - 1, 0);
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MIN_STARS + i, CBN_SELCHANGE), LPARAM(list));
    }
    char text[8] = "";
    for (int entry = 0; SendMessageA(list, CB_GETLBTEXT, entry, LPARAM(text)) > 0; ++entry)
      Current.lists += std::string(text) + " ";
    Current.shown[i] = GetDlgItemInt(dialog, IDC_MIN_STARS + i, nullptr, FALSE);  // none: 0
  }
  Current.shown[4] = SendDlgItemMessageA(dialog, IDC_GRAVITY_TRACKBAR, TBM_GETPOS, 0, 0);
  const bool key = Current.press == VK_ESCAPE;  // to the focus, or a click on the button
  PostMessageA(key ? GetFocus() : GetDlgItem(dialog, Current.press), key ? WM_KEYDOWN : BM_CLICK,
               VK_ESCAPE, 0);
}

}  // namespace

TEST(SettingsStore, LoadTakesDataOfFourBytesOrLessOverTheFieldsLowBytes) {
  ScratchRegistry scratch;
  PutValue(Key, "MinStars", REG_SZ, "7", 2);
  PutValue(Key, "MaxStars", REG_BINARY, "\1\2\3\4\5\6\7\x08", 8);  // not taken
  PutValue(Key, "MinBalls", REG_BINARY, "\x34\x12", 2);
  PutValue(Key, "MaxBalls", REG_BINARY, "\x0D\x0C\x0B\x0A", 4);  // offered 4 bytes again
  SaverSettings = {0x11111111, 0x22222222, 0x33333333, 0x44444444, 0x55555555};
  LoadSettings();  // GraviticForce is missing
  const SaverSettingsRecord& s = SaverSettings;
  EXPECT_EQ((Five{0x11110037, 0x22222222, 0x33331234, 0x0A0B0C0D, 0x55555555}),
            (Five{s.MinStars, s.MaxStars, s.MinBalls, s.MaxBalls, s.GraviticForce}));
}

TEST(ConfigDialog, ShowsTheStoredCountsClampedAndOkStoresThemOrdered) {
  enum Registry { NoKey, EmptyKey, Values, Unwritable };
  struct Case { Registry registry; Five stored; Script script; INT_PTR result; Five after; };
  // clang-format off
  const Case cases[] = {  // the first sees the record as the process starts; after all 0: no key
      {EmptyKey, {}, {{}, IDOK, {1, 10, 1, 10, 80}}, 1, {1, 10, 1, 10, 80}},
      {NoKey, {}, {{}, IDOK, {2, 9, 3, 9, 60}}, 1, {2, 9, 3, 9, 60}},
      {Values, {2, 13, 0, 9, 200}, {{}, IDOK, {2, 12, 1, 9, 120}}, 1, {2, 13, 0, 9, 120}},
      {Values, {INT32_MIN, 9, 3, 9, 10}, {{}, IDOK, {1, 9, 3, 9, 40}}, 1, {INT32_MIN, 9, 3, 9, 40}},
      {Values, {2, 9, 3, 9, 60}, {{7, 3, 5, 5}, IDOK, {7, 3, 5, 5, 60}}, 1, {3, 7, 5, 5, 60}},
      {Values, {4, 4, 12, 1, 90}, {{}, IDOK, {4, 4, 12, 1, 90}}, 1, {4, 4, 1, 12, 90}},
      {Values, {2, 5, 3, 6, 70}, {{12, 0, 0, 1}, IDCANCEL, {12, 5, 3, 1, 70}}, 0, {2, 5, 3, 6, 70}},
      {Values, {2, 5, 3, 6, 70}, {{12}, VK_ESCAPE, {12, 5, 3, 6, 70}}, 0, {2, 5, 3, 6, 70}},
      {NoKey, {}, {{12}, VK_ESCAPE, {12, 9, 3, 9, 60}}, 0, {}},
      {Unwritable, {}, {{5}, IDOK, {5, 9, 3, 9, 60}}, 1, {}},
  };
  // clang-format on
  const std::string twelve = "1 2 3 4 5 6 7 8 9 10 11 12 ";
  ModuleInstance = GetModuleHandleA(nullptr);
  SetTimer(nullptr, 0, 20, OnTick);  // runs the script inside each dialog's own loop
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    ScratchRegistry scratch(c.registry == Unwritable);
    if (c.registry == EmptyKey) PutValue(Key, nullptr, 0, nullptr, 0);
    for (int i = 0; c.registry == Values && i < 5; ++i)
      PutValue(Key, Names[i], REG_DWORD, &c.stored[i], sizeof c.stored[i]);
    Current = c.script;
    EXPECT_EQ(c.result, ShowConfigDialog(nullptr));
    EXPECT_EQ(twelve + twelve + twelve + twelve, Current.lists);
    EXPECT_EQ(c.script.shown, Current.shown);
    EXPECT_EQ(c.after[1] != 0, KeyExists(Key));
    for (int i = 0; c.after[1] != 0 && i < 5; ++i) {
      DWORD value = 0, size = sizeof value;  // five REG_DWORD values of these names
      EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, Key, Names[i], RRF_RT_REG_DWORD,
                                            nullptr, &value, &size)) << Names[i];
      EXPECT_EQ(c.after[i], static_cast<int32_t>(value)) << Names[i];
    }
  }
}
