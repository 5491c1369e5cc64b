// The settings store against the real registry, each case in its own scratch
// HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "config/SaverSettings.h"
#include "config/SettingsStore.h"
#include "tests/config/RegistrySandbox.h"

namespace {

void ExpectSettings(const int32_t (&expected)[5]) {
  const int32_t actual[5] = {SaverSettings.MinStars, SaverSettings.MaxStars, SaverSettings.MinBalls,
                             SaverSettings.MaxBalls, SaverSettings.GraviticForce};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(expected[i], actual[i]) << "field " << i;
}

std::vector<unsigned char> Dword(uint32_t value) {
  std::vector<unsigned char> bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

// Patterns that no query result can produce by accident.
constexpr int32_t S1 = 0x11111111, S2 = 0x22222222, S3 = 0x33333333, S4 = 0x44444444,
                  S5 = 0x55555555;

// A parent window holding a real trackbar with id 1001, as the dialog has.
struct TrackbarWindow {
  HWND parent = nullptr;
  explicit TrackbarWindow(int position) {
    InitCommonControls();
    parent = CreateWindowExA(0, "STATIC", "settings test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND trackbar =
        CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_HORZ, 10, 10, 200, 30,
                        parent, reinterpret_cast<HMENU>(1001), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(40, 120));
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  }
  ~TrackbarWindow() { DestroyWindow(parent); }
};

}  // namespace

TEST(SettingsStore, LoadTakesEachValueOfFourBytesOrLessAndNothingElse) {
  ExpectSettings({1, 10, 1, 10, 80});  // the start-up values, before any load
  struct Raw {
    const char* name;
    DWORD type;
    std::vector<unsigned char> bytes;
  };
  struct Case {
    const char* what;
    bool key;
    std::vector<Raw> stored;
    int32_t expected[5];
  };
  // clang-format off
  const Case cases[] = {
      {"no key: the fallbacks", false, {}, {2, 9, 3, 9, 60}},
      {"key without values: fields kept", true, {}, {S1, S2, S3, S4, S5}},
      {"single value", true, {{"GraviticForce", REG_DWORD, Dword(100)}}, {S1, S2, S3, S4, 100}},
      {"reversed and out of range: unchanged", true,
       {{"MinStars", REG_DWORD, Dword(8)}, {"MaxStars", REG_DWORD, Dword(3)},
        {"MinBalls", REG_DWORD, Dword(0)}, {"MaxBalls", REG_DWORD, Dword(0x80000000u)},
        {"GraviticForce", REG_DWORD, Dword(static_cast<uint32_t>(-3))}},
       {8, 3, 0, INT32_MIN, -3}},
      {"strings are copied as bytes over the field's start", true,
       {{"MinStars", REG_SZ, {'7', 0}}, {"MaxStars", REG_SZ, {'a', 'b', 'c', 0}}},
       {0x11110037, 0x00636261, S3, S4, S5}},
      {"short binary: the next query still offers 4 bytes", true,
       {{"MinStars", REG_BINARY, {0x34, 0x12}}, {"MaxStars", REG_DWORD, Dword(0x0A0B0C0D)},
        {"MinBalls", REG_BINARY, {0x01}}, {"MaxBalls", REG_DWORD, Dword(0x01020304)}},
       {0x11111234, 0x0A0B0C0D, 0x33333301, 0x01020304, S5}},
      // Had the 8-byte query widened the buffer offered to the 6-byte one,
      // two bytes would spill into GraviticForce.
      {"long binary: not taken, nothing past 4 bytes", true,
       {{"MinBalls", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"MaxBalls", REG_BINARY, {9, 9, 9, 9, 0x77, 0x77}}, {"MaxStars", REG_DWORD, Dword(6)}},
       {S1, 6, S3, S4, S5}},
      {"long string before a short value", true,
       {{"MinStars", REG_SZ, {'1', '2', '3', '4', '5', '6', 0}}, {"MaxStars", REG_BINARY, {0x21}},
        {"GraviticForce", REG_DWORD, Dword(99)}},
       {S1, 0x22222221, S3, S4, 99}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    if (c.key) CreateSettingsKey();
    for (const Raw& raw : c.stored) PutRaw(raw.name, raw.type, raw.bytes);
    SaverSettings = {S1, S2, S3, S4, S5};
    LoadSettings();
    ExpectSettings(c.expected);
    DWORD subkeys, values;
    CountUnder(nullptr, &subkeys, &values);
    EXPECT_EQ(c.key ? 1u : 0u, subkeys) << "loading creates no key";
  }
}

TEST(SettingsStore, SaveWritesFiveDwordsOverAnyTypeWithGravityFromTrackbar1001) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutRaw("MinStars", REG_SZ, {'9', 0});
  PutRaw("MaxBalls", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8});
  TrackbarWindow window(77);
  SaverSettings = {-3, 7, 5, 14, 80};
  SaveSettings(window.parent);
  EXPECT_EQ(77, SaverSettings.GraviticForce) << "gravity comes from the trackbar, not the field";
  DWORD subkeys, values;
  CountUnder("Software\\Quillara", &subkeys, &values);
  EXPECT_EQ(0u, subkeys);
  EXPECT_EQ(5u, values);
  const char* names[] = {"MinStars", "MaxStars", "MinBalls", "MaxBalls", "GraviticForce"};
  const int32_t expected[5] = {-3, 7, 5, 14, 77};
  for (int i = 0; i < 5; ++i) {
    StoredValue value = ReadStored(names[i]);
    ASSERT_TRUE(value.present) << names[i];
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << names[i];
    EXPECT_EQ(4u, value.data.size()) << names[i];
    EXPECT_EQ(static_cast<uint32_t>(expected[i]), value.AsDword()) << names[i];
  }
  SaverSettings = {1, 10, 1, 10, 80};
  LoadSettings();
  ExpectSettings(expected);
}

TEST(SettingsStore, SaveWhenTheKeyCannotBeCreatedLeavesEverythingAlone) {
  RegistrySandbox sandbox(/*volatileRoot=*/true);
  ASSERT_TRUE(sandbox.ready());
  // Precondition: beneath a volatile key no lasting key can be made.
  HKEY probe;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillara", 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, &probe, nullptr) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    GTEST_SKIP() << "this registry lets a lasting key be made under a volatile one";
  }
  TrackbarWindow window(100);
  SaverSettings = {4, 5, 6, 7, 80};
  SaveSettings(window.parent);
  ExpectSettings({4, 5, 6, 7, 80});
  EXPECT_FALSE(SettingsKeyExists());
}
