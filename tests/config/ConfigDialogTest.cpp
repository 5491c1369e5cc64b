// The configuration dialog, run modally and driven as a user would, with the
// settings in a scratch HKEY_CURRENT_USER.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "config/ConfigDialog.h"
#include "config/SaverSettings.h"
#include "resources/ResourceIds.h"
#include "tests/config/DialogDriver.h"
#include "tests/config/RegistrySandbox.h"

namespace {

struct Shown {
  int minStars = -1, maxStars = -1, minBalls = -1, maxBalls = -1, gravity = -1;
};

// Reads what the dialog shows: the text of each list's selection and the
// trackbar's position.
DialogStep Capture(Shown* shown) {
  return Observe([shown](HWND dialog) {
    auto shownNumber = [dialog](int id) {
      int index = ListSelection(dialog, id);
      std::vector<std::string> texts = ListTexts(dialog, id);
      return index >= 0 && index < static_cast<int>(texts.size()) ? std::stoi(texts[index]) : -1;
    };
    shown->minStars = shownNumber(IDC_MIN_STARS);
    shown->maxStars = shownNumber(IDC_MAX_STARS);
    shown->minBalls = shownNumber(IDC_MIN_BALLS);
    shown->maxBalls = shownNumber(IDC_MAX_BALLS);
    shown->gravity = TrackbarPosition(dialog);
  });
}

void ExpectShown(const Shown& shown, int minStars, int maxStars, int minBalls, int maxBalls,
                 int gravity) {
  EXPECT_EQ(minStars, shown.minStars);
  EXPECT_EQ(maxStars, shown.maxStars);
  EXPECT_EQ(minBalls, shown.minBalls);
  EXPECT_EQ(maxBalls, shown.maxBalls);
  EXPECT_EQ(gravity, shown.gravity);
}

void ExpectStored(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls,
                  int32_t gravity) {
  const char* names[] = {"MinStars", "MaxStars", "MinBalls", "MaxBalls", "GraviticForce"};
  const int32_t expected[] = {minStars, maxStars, minBalls, maxBalls, gravity};
  for (int i = 0; i < 5; ++i) {
    StoredValue value = ReadStored(names[i]);
    ASSERT_TRUE(value.present) << names[i];
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << names[i];
    EXPECT_EQ(static_cast<uint32_t>(expected[i]), value.AsDword()) << names[i];
  }
}

void StoreAll(int32_t minStars, int32_t maxStars, int32_t minBalls, int32_t maxBalls,
              int32_t gravity) {
  PutDword("MinStars", minStars);
  PutDword("MaxStars", maxStars);
  PutDword("MinBalls", minBalls);
  PutDword("MaxBalls", maxBalls);
  PutDword("GraviticForce", gravity);
}

}  // namespace

TEST(ConfigDialog, EveryListHoldsOneToTwelveInOrder) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  std::vector<std::vector<std::string>> lists;
  INT_PTR result = RunConfigDialog({
      Observe([&](HWND dialog) {
        for (int id : {IDC_MIN_STARS, IDC_MAX_STARS, IDC_MIN_BALLS, IDC_MAX_BALLS})
          lists.push_back(ListTexts(dialog, id));
      }),
      PressKey(VK_ESCAPE),
  });
  EXPECT_EQ(0, result);
  const std::vector<std::string> expected = {"1", "2", "3", "4",  "5",  "6",
                                             "7", "8", "9", "10", "11", "12"};
  ASSERT_EQ(4u, lists.size());
  for (const auto& list : lists) EXPECT_EQ(expected, list);
}

TEST(ConfigDialog, TrackbarRunsFortyToOneTwentyInSingleSteps) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  int minimum = 0, maximum = 0, line = 0, page = 0, afterRight = 0, afterPageUp = 0;
  INT_PTR result = RunConfigDialog({
      Observe([&](HWND dialog) {
        HWND trackbar = GetDlgItem(dialog, IDC_GRAVITY_TRACKBAR);
        minimum = static_cast<int>(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0));
        maximum = static_cast<int>(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0));
        line = static_cast<int>(SendMessageA(trackbar, TBM_GETLINESIZE, 0, 0));
        page = static_cast<int>(SendMessageA(trackbar, TBM_GETPAGESIZE, 0, 0));
      }),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_RIGHT),
      Observe([&](HWND dialog) { afterRight = TrackbarPosition(dialog); }),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_PRIOR),
      Observe([&](HWND dialog) { afterPageUp = TrackbarPosition(dialog); }),
      ClickButton(IDCANCEL),
  });
  EXPECT_EQ(0, result);
  EXPECT_EQ(40, minimum);
  EXPECT_EQ(120, maximum);
  EXPECT_EQ(1, line);
  EXPECT_EQ(1, page);
  EXPECT_EQ(61, afterRight) << "from the fallback 60, one arrow step";
  EXPECT_EQ(60, afterPageUp) << "one page step back";
}

TEST(ConfigDialog, UserWithoutKeySeesFallbacksAndOkStoresThem) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  Shown shown;
  INT_PTR result = RunConfigDialog({Capture(&shown), ClickButton(IDOK)});
  EXPECT_EQ(1, result);
  ExpectShown(shown, 2, 9, 3, 9, 60);
  ExpectStored(2, 9, 3, 9, 60);
  EXPECT_EQ(5u, StoredValueCount());
}

TEST(ConfigDialog, UserWithEmptyKeySeesStartUpValues) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  CreateSettingsKey();
  Shown shown;
  INT_PTR result = RunConfigDialog({Capture(&shown), PressKey(VK_RETURN)});
  EXPECT_EQ(1, result) << "Enter is OK";
  ExpectShown(shown, 1, 10, 1, 10, 80);
  ExpectStored(1, 10, 1, 10, 80);
}

TEST(ConfigDialog, OkStoresWhatIsShownAndPutsReversedRangesInOrder) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(2, 9, 3, 9, 60);
  Shown shown;
  INT_PTR result = RunConfigDialog({
      ChooseInList(IDC_MIN_STARS, 6),  // 7
      ChooseInList(IDC_MAX_STARS, 2),  // 3
      ChooseInList(IDC_MIN_BALLS, 4),  // 5
      ChooseInList(IDC_MAX_BALLS, 4),  // 5: equal, stays
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_END),
      Capture(&shown),
      ClickButton(IDOK),
  });
  EXPECT_EQ(1, result);
  ExpectShown(shown, 7, 3, 5, 5, 120);
  ExpectStored(3, 7, 5, 5, 120);
  EXPECT_EQ(3, SaverSettings.MinStars);
  EXPECT_EQ(7, SaverSettings.MaxStars);
}

TEST(ConfigDialog, BallsAreOrderedIndependentlyOfStars) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(4, 4, 12, 1, 90);
  INT_PTR result = RunConfigDialog({ClickButton(IDOK)});
  EXPECT_EQ(1, result);
  ExpectStored(4, 4, 1, 12, 90);
}

TEST(ConfigDialog, CancelAfterChangesStoresNothing) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(2, 5, 3, 6, 70);
  INT_PTR result = RunConfigDialog({
      ChooseInList(IDC_MIN_STARS, 11),
      ChooseInList(IDC_MAX_BALLS, 0),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_HOME),
      ClickButton(IDCANCEL),
  });
  EXPECT_EQ(0, result);
  ExpectStored(2, 5, 3, 6, 70);
  EXPECT_EQ(5u, StoredValueCount());
}

TEST(ConfigDialog, EscapeStoresNothingAndCreatesNoKey) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  INT_PTR result = RunConfigDialog({ChooseInList(IDC_MIN_STARS, 3), PressKey(VK_ESCAPE)});
  EXPECT_EQ(0, result);
  EXPECT_FALSE(SettingsKeyExists());
}

TEST(ConfigDialog, CloseBoxStoresNothing) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(1, 2, 3, 4, 50);
  INT_PTR result = RunConfigDialog({
      ChooseInList(IDC_MAX_STARS, 8),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_RIGHT),
      ClickCloseBox(),
  });
  EXPECT_EQ(0, result);
  ExpectStored(1, 2, 3, 4, 50);
}

TEST(ConfigDialog, MovingTheTrackbarThenCancelChangesNothingInMemory) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(2, 9, 3, 9, 75);
  int moved = 0;
  INT_PTR result = RunConfigDialog({
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_LEFT),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_LEFT),
      Observe([&](HWND dialog) { moved = TrackbarPosition(dialog); }),
      ClickButton(IDCANCEL),
  });
  EXPECT_EQ(0, result);
  EXPECT_EQ(73, moved);
  EXPECT_EQ(75, SaverSettings.GraviticForce) << "scrolling is not tracked";
  ExpectStored(2, 9, 3, 9, 75);
}

TEST(ConfigDialog, MovingTheTrackbarThenOkStoresTheNewPosition) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(2, 9, 3, 9, 75);
  INT_PTR result = RunConfigDialog({
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_RIGHT),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_RIGHT),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_RIGHT),
      ClickButton(IDOK),
  });
  EXPECT_EQ(1, result);
  ExpectStored(2, 9, 3, 9, 78);
}

TEST(ConfigDialog, OutOfRangeCountsShowClampedAndOkStoresThemUntouched) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(2, 14, 0, 9, 60);
  Shown shown;
  INT_PTR result = RunConfigDialog({Capture(&shown), ClickButton(IDOK)});
  EXPECT_EQ(1, result);
  ExpectShown(shown, 2, 12, 1, 9, 60);
  ExpectStored(2, 14, 0, 9, 60);
}

TEST(ConfigDialog, TabbingThroughTheListsTakesWhatTheyShow) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll(2, 14, 0, 9, 60);
  std::vector<int> focusIds;
  auto noteFocus = Observe([&](HWND) { focusIds.push_back(GetDlgCtrlID(GetFocus())); });
  INT_PTR result = RunConfigDialog({
      noteFocus,
      PressKey(VK_TAB),
      noteFocus,  // Cancel
      PressKey(VK_TAB),
      noteFocus,  // trackbar
      PressKey(VK_TAB),
      noteFocus,  // 1008
      PressKey(VK_TAB),
      noteFocus,  // 1009
      PressKey(VK_TAB),
      noteFocus,  // 1010
      PressKey(VK_TAB),
      noteFocus,  // 1011
      ClickButton(IDOK),
  });
  EXPECT_EQ(1, result);
  const std::vector<int> tabOrder = {IDOK,          IDCANCEL,      IDC_GRAVITY_TRACKBAR,
                                     IDC_MIN_STARS, IDC_MAX_STARS, IDC_MIN_BALLS,
                                     IDC_MAX_BALLS};
  EXPECT_EQ(tabOrder, focusIds);
  ExpectStored(2, 12, 1, 9, 60);
}

TEST(ConfigDialog, GravityOutsideTheRangeIsStoredAtTheNearerEnd) {
  for (auto [stored, saved] : {std::pair{200, 120}, std::pair{10, 40}}) {
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    StoreAll(2, 9, 3, 9, stored);
    Shown shown;
    INT_PTR result = RunConfigDialog({Capture(&shown), ClickButton(IDOK)});
    EXPECT_EQ(1, result);
    EXPECT_EQ(saved, shown.gravity) << "stored " << stored;
    ExpectStored(2, 9, 3, 9, saved);
  }
}

TEST(ConfigDialog, OkStillEndsWithOneWhenTheKeyCannotBeCreated) {
  RegistrySandbox sandbox(/*volatileRoot=*/true);
  ASSERT_TRUE(sandbox.ready());
  INT_PTR result = RunConfigDialog({ChooseInList(IDC_MIN_STARS, 4), ClickButton(IDOK)});
  EXPECT_EQ(1, result);
  EXPECT_FALSE(SettingsKeyExists());
  EXPECT_EQ(60, SaverSettings.GraviticForce) << "nothing was taken from the trackbar";
}

TEST(ConfigDialog, ControlsAreCreatedInTemplateOrder) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  std::vector<std::string> classes;
  std::vector<int> ids;
  HWND focusAtStart = nullptr, okButton = nullptr;
  INT_PTR result = RunConfigDialog({
      Observe([&](HWND dialog) {
        focusAtStart = GetFocus();
        okButton = GetDlgItem(dialog, IDOK);
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
          char name[64] = {};
          GetClassNameA(child, name, sizeof name);
          classes.push_back(CharUpperA(name));
          ids.push_back(static_cast<short>(GetDlgCtrlID(child)));
        }
      }),
      PressKey(VK_ESCAPE),
  });
  EXPECT_EQ(0, result);
  EXPECT_EQ(okButton, focusAtStart) << "OK has the focus first";
  const std::vector<int> expectedIds = {1,  2,  1001, -1, -1, -1,   -1,   -1,   -1,
                                        -1, -1, -1,   -1, -1, 1008, 1009, 1010, 1011};
  EXPECT_EQ(expectedIds, ids);
  ASSERT_EQ(18u, classes.size());
  EXPECT_EQ("MSCTLS_TRACKBAR32", classes[2]);
  EXPECT_EQ("COMBOBOX", classes[17]);
}

TEST(ConfigDialogRoutines, NormaliseRangeSwapsOnlyAReversedPair) {
  int32_t low = 7, high = 3;
  NormaliseRange(low, high);
  EXPECT_EQ(3, low);
  EXPECT_EQ(7, high);
  low = 5, high = 5;
  NormaliseRange(low, high);
  EXPECT_EQ(5, low);
  EXPECT_EQ(5, high);
  low = -1, high = -2;  // signed comparison
  NormaliseRange(low, high);
  EXPECT_EQ(-2, low);
  EXPECT_EQ(-1, high);
  low = INT32_MIN, high = INT32_MAX;
  NormaliseRange(low, high);
  EXPECT_EQ(INT32_MIN, low);
  EXPECT_EQ(INT32_MAX, high);
}

TEST(ConfigDialogRoutines, PrepareDialogClassesAlwaysAllowsTheDialog) {
  EXPECT_TRUE(PrepareDialogClasses(GetModuleHandleA(nullptr)));
  EXPECT_TRUE(PrepareDialogClasses(nullptr));
}

TEST(ConfigDialogRoutines, ListRoutinesClampAndReadFromTheTable) {
  InitCommonControls();
  HWND dialog = CreateWindowExA(0, "STATIC", "lists", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND list = CreateWindowExA(
      0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0, 60, 200,
      dialog, reinterpret_cast<HMENU>(1008), GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(1, ReadCountList(dialog, 1008)) << "an empty list reads as 1";
  EXPECT_EQ(0, GetListSelection(dialog, 1008));

  FillCountList(dialog, 1008, CountChoices, 12, -5);
  EXPECT_EQ(12, SendMessageA(list, CB_GETCOUNT, 0, 0));
  EXPECT_EQ(0, GetListSelection(dialog, 1008));
  EXPECT_EQ(1, ReadCountList(dialog, 1008));

  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  FillCountList(dialog, 1008, CountChoices, 12, 12);
  EXPECT_EQ(11, GetListSelection(dialog, 1008));
  EXPECT_EQ(12, ReadCountList(dialog, 1008));

  SendMessageA(list, CB_RESETCONTENT, 0, 0);
  FillCountList(dialog, 1008, CountChoices, 12, 9);
  EXPECT_EQ(10, ReadCountList(dialog, 1008)) << "\"10\" follows \"9\"";

  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(1, ReadCountList(dialog, 1008)) << "no selection reads as 1";
  DestroyWindow(dialog);
}
