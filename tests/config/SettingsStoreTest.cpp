// The settings store against the real registry, each test in its own scratch
// HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "config/SaverSettings.h"
#include "config/SettingsStore.h"
#include "tests/config/RegistrySandbox.h"

namespace {

void ExpectSettings(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls,
                    int32_t gravity) {
  EXPECT_EQ(minStars, SaverSettings.MinStars);
  EXPECT_EQ(maxStars, SaverSettings.MaxStars);
  EXPECT_EQ(minBalls, SaverSettings.MinBalls);
  EXPECT_EQ(maxBalls, SaverSettings.MaxBalls);
  EXPECT_EQ(gravity, SaverSettings.GraviticForce);
}

std::vector<unsigned char> Bytes(std::initializer_list<unsigned char> list) { return list; }

// Sentinel patterns that no query result can produce by accident.
constexpr int32_t SentinelMinStars = 0x11111111;
constexpr int32_t SentinelMaxStars = 0x22222222;
constexpr int32_t SentinelMinBalls = 0x33333333;
constexpr int32_t SentinelMaxBalls = 0x44444444;
constexpr int32_t SentinelGravity = 0x55555555;

void FillWithSentinels() {
  SaverSettings = {SentinelMinStars, SentinelMaxStars, SentinelMinBalls, SentinelMaxBalls,
                   SentinelGravity};
}

// A parent window holding a real trackbar with id 1001, as the dialog has.
struct TrackbarWindow {
  HWND parent = nullptr;
  HWND trackbar = nullptr;
  explicit TrackbarWindow(int position) {
    InitCommonControls();
    parent = CreateWindowExA(0, "STATIC", "settings test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    trackbar =
        CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | TBS_HORZ, 10, 10, 200, 30,
                        parent, reinterpret_cast<HMENU>(1001), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(40, 120));
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  }
  ~TrackbarWindow() { DestroyWindow(parent); }
};

}  // namespace

TEST(SettingsStore, StartUpValuesBeforeAnyLoad) { ExpectSettings(1, 10, 1, 10, 80); }

TEST(SettingsStore, NoKeyGivesFallbacksAndCreatesNothing) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  LoadSettings();
  ExpectSettings(2, 9, 3, 9, 60);
  EXPECT_FALSE(SettingsKeyExists());
  EXPECT_EQ(0u, RootSubkeyCount()) << "loading must create no key at all";
}

TEST(SettingsStore, KeyWithoutValuesKeepsStartUpValues) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  CreateSettingsKey();
  LoadSettings();
  ExpectSettings(1, 10, 1, 10, 80);
  EXPECT_EQ(0u, StoredValueCount());
}

TEST(SettingsStore, SingleValueReplacesOnlyItsField) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutDword("GraviticForce", 100);
  LoadSettings();
  ExpectSettings(1, 10, 1, 10, 100);
}

TEST(SettingsStore, ReversedAndOutOfRangeValuesLoadUnchanged) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutDword("MinStars", 8);
  PutDword("MaxStars", 3);
  PutDword("MinBalls", 0);
  PutDword("MaxBalls", static_cast<uint32_t>(-3));
  PutDword("GraviticForce", 500);
  LoadSettings();
  ExpectSettings(8, 3, 0, -3, 500);

  PutDword("MinBalls", 13);
  PutDword("MaxBalls", 0x80000000u);
  LoadSettings();
  ExpectSettings(8, 3, 13, INT32_MIN, 500);
}

TEST(SettingsStore, MissingValueKeepsWhatTheFieldHeld) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutDword("MinStars", 4);
  FillWithSentinels();
  LoadSettings();
  ExpectSettings(4, SentinelMaxStars, SentinelMinBalls, SentinelMaxBalls, SentinelGravity);
}

TEST(SettingsStore, ShortStringIsCopiedAsBytesOverTheFieldStart) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutRaw("MinStars", REG_SZ, Bytes({'7', 0}));            // 2 bytes
  PutRaw("MaxStars", REG_SZ, Bytes({'a', 'b', 'c', 0}));  // exactly 4 bytes
  FillWithSentinels();
  LoadSettings();
  // '7', NUL, then the sentinel's upper bytes stay.
  EXPECT_EQ(0x11110037, SaverSettings.MinStars);
  EXPECT_EQ(0x00636261, SaverSettings.MaxStars);
  EXPECT_EQ(SentinelMinBalls, SaverSettings.MinBalls);
  EXPECT_EQ(SentinelMaxBalls, SaverSettings.MaxBalls);
  EXPECT_EQ(SentinelGravity, SaverSettings.GraviticForce);
}

TEST(SettingsStore, TwoByteBinaryWritesTwoBytesAndNextQueryStillOffersFour) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutRaw("MinStars", REG_BINARY, Bytes({0x34, 0x12}));
  PutDword("MaxStars", 0x0A0B0C0D);  // fails or is cut if offered only 2 bytes
  PutRaw("MinBalls", REG_BINARY, Bytes({0x01}));
  PutDword("MaxBalls", 0x01020304);
  FillWithSentinels();
  LoadSettings();
  EXPECT_EQ(0x11111234, SaverSettings.MinStars);
  EXPECT_EQ(0x0A0B0C0D, SaverSettings.MaxStars);
  EXPECT_EQ(0x33333301, SaverSettings.MinBalls);
  EXPECT_EQ(0x01020304, SaverSettings.MaxBalls);
  EXPECT_EQ(SentinelGravity, SaverSettings.GraviticForce);
}

TEST(SettingsStore, LongBinaryNeverWritesIntoTheNextField) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  // An 8-byte value followed by a 6-byte one: if the first query widened the
  // buffer offered to the second, the second would succeed and spill two
  // bytes into GraviticForce.
  PutRaw("MinBalls", REG_BINARY, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  PutRaw("MaxBalls", REG_BINARY, Bytes({9, 9, 9, 9, 0x77, 0x77}));
  PutDword("MaxStars", 6);
  FillWithSentinels();
  LoadSettings();
  EXPECT_EQ(SentinelMinStars, SaverSettings.MinStars);
  EXPECT_EQ(6, SaverSettings.MaxStars);
  // Data too long for 4 bytes is not taken: the field keeps its value.
  EXPECT_EQ(SentinelMinBalls, SaverSettings.MinBalls);
  EXPECT_EQ(SentinelMaxBalls, SaverSettings.MaxBalls);
  EXPECT_EQ(SentinelGravity, SaverSettings.GraviticForce);
}

TEST(SettingsStore, LongValueBeforeAShortOneStillReadsTheShortOneWhole) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutRaw("MinStars", REG_SZ, Bytes({'1', '2', '3', '4', '5', '6', 0}));
  PutRaw("MaxStars", REG_BINARY, Bytes({0x21}));
  PutDword("GraviticForce", 99);
  FillWithSentinels();
  LoadSettings();
  EXPECT_EQ(SentinelMinStars, SaverSettings.MinStars);
  EXPECT_EQ(0x22222221, SaverSettings.MaxStars);
  EXPECT_EQ(99, SaverSettings.GraviticForce);
}

TEST(SettingsStore, SaveCreatesTheKeyAndTakesGravityFromTheTrackbar) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  ASSERT_FALSE(SettingsKeyExists());
  TrackbarWindow window(77);
  ASSERT_NE(nullptr, window.trackbar);
  SaverSettings = {3, 7, 5, 5, 80};
  SaveSettings(window.parent);

  EXPECT_EQ(77, SaverSettings.GraviticForce) << "gravity comes from the trackbar, not the field";
  ASSERT_TRUE(SettingsKeyExists());
  EXPECT_EQ(5u, StoredValueCount());
  EXPECT_EQ(0u, StoredSubkeyCount());
  const char* names[] = {"MinStars", "MaxStars", "MinBalls", "MaxBalls", "GraviticForce"};
  const uint32_t expected[] = {3, 7, 5, 5, 77};
  for (int i = 0; i < 5; ++i) {
    StoredValue value = ReadStored(names[i]);
    ASSERT_TRUE(value.present) << names[i];
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << names[i];
    EXPECT_EQ(4u, value.data.size()) << names[i];
    EXPECT_EQ(expected[i], value.AsDword()) << names[i];
  }
}

TEST(SettingsStore, SaveOverwritesWrongTypesAndRoundTripsNegativeCounts) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  PutRaw("MinStars", REG_SZ, Bytes({'9', 0}));
  PutRaw("MaxBalls", REG_BINARY, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
  TrackbarWindow window(120);
  SaverSettings = {-3, 14, 0, 12, 10};
  SaveSettings(window.parent);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), ReadStored("MinStars").type);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), ReadStored("MaxBalls").type);
  EXPECT_EQ(4u, ReadStored("MaxBalls").data.size());

  SaverSettings = {1, 10, 1, 10, 80};
  LoadSettings();
  ExpectSettings(-3, 14, 0, 12, 120);
}

TEST(SettingsStore, SaveWhenTheKeyCannotBeCreatedLeavesEverythingAlone) {
  RegistrySandbox sandbox(/*volatileRoot=*/true);
  ASSERT_TRUE(sandbox.ready());
  // Precondition: beneath a volatile key no lasting key can be made.
  HKEY probe;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quillara", 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &probe, nullptr);
  if (status == ERROR_SUCCESS) {
    RegCloseKey(probe);
    GTEST_SKIP() << "this registry lets a lasting key be made under a volatile one";
  }
  TrackbarWindow window(100);
  SaverSettings = {4, 5, 6, 7, 80};
  SaveSettings(window.parent);
  ExpectSettings(4, 5, 6, 7, 80);
  EXPECT_FALSE(SettingsKeyExists());
}
