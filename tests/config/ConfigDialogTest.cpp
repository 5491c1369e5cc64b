// The configuration dialog, run modally and driven as a user would, with the
// settings in a scratch HKEY_CURRENT_USER.
#include <gtest/gtest.h>

#include <cstdint>
#include <windows.h>
#include <commctrl.h>

#include <array>

#include "config/ConfigDialog.h"
#include "config/SaverSettings.h"
#include "resources/ResourceIds.h"
#include "tests/config/DialogDriver.h"
#include "tests/config/RegistrySandbox.h"

namespace {

using Five = std::array<int32_t, 5>;  // min and max stars, min and max balls, gravity
const char* const Names[5] = {"MinStars", "MaxStars", "MinBalls", "MaxBalls", "GraviticForce"};
const int ListIds[4] = {IDC_MIN_STARS, IDC_MAX_STARS, IDC_MIN_BALLS, IDC_MAX_BALLS};

// Reads what the dialog shows: each list's selected text and the trackbar.
DialogStep Capture(Five* shown) {
  return [shown](HWND dialog) {
    for (int i = 0; i < 4; ++i) {
      const int index = ListSelection(dialog, ListIds[i]);
      const std::vector<std::string> texts = ListTexts(dialog, ListIds[i]);
      (*shown)[i] =
          index >= 0 && index < static_cast<int>(texts.size()) ? std::stoi(texts[index]) : -1;
    }
    (*shown)[4] = TrackbarPosition(dialog);
  };
}

void ExpectStored(const Five& expected) {
  for (int i = 0; i < 5; ++i) {
    StoredValue value = ReadStored(Names[i]);
    ASSERT_TRUE(value.present) << Names[i];
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.type) << Names[i];
    EXPECT_EQ(static_cast<uint32_t>(expected[i]), value.AsDword()) << Names[i];
  }
}

void StoreAll(const Five& values) {
  for (int i = 0; i < 5; ++i) PutDword(Names[i], values[i]);
}

enum class Stored { NoKey, EmptyKey, Values };

}  // namespace

TEST(ConfigDialog, ShowsWhatIsStoredClampedAndOkStoresItInOrder) {
  struct Case {
    const char* what;
    Stored key;
    Five stored, shown, saved;
  };
  // clang-format off
  const Case cases[] = {
      {"no key: the fallbacks", Stored::NoKey, {}, {2, 9, 3, 9, 60}, {2, 9, 3, 9, 60}},
      {"empty key: the start-up values", Stored::EmptyKey, {}, {1, 10, 1, 10, 80}, {1, 10, 1, 10, 80}},
      {"reversed balls ordered, equal stars stay", Stored::Values,
       {4, 4, 12, 1, 90}, {4, 4, 12, 1, 90}, {4, 4, 1, 12, 90}},
      {"0 and 14 shown clamped, stored unchanged", Stored::Values,
       {2, 14, 0, 9, 60}, {2, 12, 1, 9, 60}, {2, 14, 0, 9, 60}},
      {"gravity 200 stored as 120", Stored::Values, {2, 9, 3, 9, 200}, {2, 9, 3, 9, 120}, {2, 9, 3, 9, 120}},
      {"gravity 10 stored as 40", Stored::Values, {2, 9, 3, 9, 10}, {2, 9, 3, 9, 40}, {2, 9, 3, 9, 40}},
      {"extreme counts shown at the nearer end", Stored::Values,
       {INT32_MIN, INT32_MAX, -5, 13, 60}, {1, 12, 1, 12, 60}, {INT32_MIN, INT32_MAX, -5, 13, 60}},
  };
  // clang-format on
  const std::vector<std::string> oneToTwelve = {"1", "2", "3", "4",  "5",  "6",
                                                "7", "8", "9", "10", "11", "12"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    SaverSettings = {1, 10, 1, 10, 80};  // as a freshly started saver holds them
    if (c.key == Stored::EmptyKey) CreateSettingsKey();
    if (c.key == Stored::Values) StoreAll(c.stored);
    Five shown = {};
    std::vector<std::vector<std::string>> lists;
    const bool enter = c.key == Stored::EmptyKey;  // Enter is OK
    INT_PTR result = RunConfigDialog({
        [&](HWND dialog) {
          for (int id : ListIds) lists.push_back(ListTexts(dialog, id));
        },
        Capture(&shown),
        enter ? PressKey(VK_RETURN) : ClickButton(IDOK),
    });
    EXPECT_EQ(1, result);
    for (const auto& list : lists) EXPECT_EQ(oneToTwelve, list);
    EXPECT_EQ(c.shown, shown);
    ExpectStored(c.saved);
    DWORD subkeys, values;
    CountUnder("Software\\Quillara", &subkeys, &values);
    EXPECT_EQ(5u, values);
  }
}

TEST(ConfigDialog, OkStoresTheUsersChoicesWithAReversedRangeOrdered) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll({2, 9, 3, 9, 60});
  Five shown = {};
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
  EXPECT_EQ((Five{7, 3, 5, 5, 120}), shown);
  ExpectStored({3, 7, 5, 5, 120});
  EXPECT_EQ(3, SaverSettings.MinStars);
  EXPECT_EQ(7, SaverSettings.MaxStars);
}

TEST(ConfigDialog, CancelEscapeAndTheCloseBoxStoreNothingAndEndWithZero) {
  struct Case {
    const char* what;
    bool key;
    DialogStep dismiss;
  };
  const Case cases[] = {
      {"Cancel", true, ClickButton(IDCANCEL)},
      {"Escape", true, PressKey(VK_ESCAPE)},
      {"close box", true, ClickCloseBox()},
      {"Escape without a key", false, PressKey(VK_ESCAPE)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.ready());
    if (c.key) StoreAll({2, 5, 3, 6, 70});
    INT_PTR result = RunConfigDialog({
        ChooseInList(IDC_MIN_STARS, 11),
        ChooseInList(IDC_MAX_BALLS, 0),
        PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_HOME),
        c.dismiss,
    });
    EXPECT_EQ(0, result);
    if (c.key) ExpectStored({2, 5, 3, 6, 70});
    EXPECT_EQ(c.key, SettingsKeyExists());
  }
}

TEST(ConfigDialog, TrackbarStepsOneFromFortyToOneTwentyAndCancelKeepsTheSetting) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll({2, 9, 3, 9, 75});
  int range[4] = {}, afterLeft = 0, afterPageUp = 0;
  INT_PTR result = RunConfigDialog({
      [&](HWND dialog) {
        const UINT queries[4] = {TBM_GETRANGEMIN, TBM_GETRANGEMAX, TBM_GETLINESIZE,
                                 TBM_GETPAGESIZE};
        for (int i = 0; i < 4; ++i)
          range[i] =
              static_cast<int>(SendDlgItemMessageA(dialog, IDC_GRAVITY_TRACKBAR, queries[i], 0, 0));
      },
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_LEFT),
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_LEFT),
      [&](HWND dialog) { afterLeft = TrackbarPosition(dialog); },
      PressKeyOn(IDC_GRAVITY_TRACKBAR, VK_PRIOR),
      [&](HWND dialog) { afterPageUp = TrackbarPosition(dialog); },
      ClickButton(IDCANCEL),
  });
  EXPECT_EQ(0, result);
  EXPECT_EQ(40, range[0]);
  EXPECT_EQ(120, range[1]);
  EXPECT_EQ(1, range[2]) << "line size";
  EXPECT_EQ(1, range[3]) << "page size";
  EXPECT_EQ(73, afterLeft);
  EXPECT_EQ(72, afterPageUp);
  EXPECT_EQ(75, SaverSettings.GraviticForce) << "scrolling is not tracked";
  ExpectStored({2, 9, 3, 9, 75});
}

TEST(ConfigDialog, TabbingThroughTheListsTakesWhatTheyShow) {
  RegistrySandbox sandbox;
  ASSERT_TRUE(sandbox.ready());
  StoreAll({2, 14, 0, 9, 60});
  std::vector<int> focusIds;
  DialogStep noteFocus = [&](HWND) { focusIds.push_back(GetDlgCtrlID(GetFocus())); };
  std::vector<DialogStep> steps = {noteFocus};
  for (int i = 0; i < 6; ++i) steps.insert(steps.end(), {PressKey(VK_TAB), noteFocus});
  steps.push_back(ClickButton(IDOK));
  EXPECT_EQ(1, RunConfigDialog(steps));
  const std::vector<int> tabOrder = {IDOK,          IDCANCEL,      IDC_GRAVITY_TRACKBAR,
                                     IDC_MIN_STARS, IDC_MAX_STARS, IDC_MIN_BALLS,
                                     IDC_MAX_BALLS};
  EXPECT_EQ(tabOrder, focusIds) << "OK has the focus first";
  ExpectStored({2, 12, 1, 9, 60});
}

TEST(ConfigDialog, OkStillEndsWithOneWhenTheKeyCannotBeCreated) {
  RegistrySandbox sandbox(/*volatileRoot=*/true);
  ASSERT_TRUE(sandbox.ready());
  INT_PTR result = RunConfigDialog({ChooseInList(IDC_MIN_STARS, 4), ClickButton(IDOK)});
  EXPECT_EQ(1, result);
  EXPECT_FALSE(SettingsKeyExists());
  EXPECT_EQ(60, SaverSettings.GraviticForce) << "nothing was taken from the trackbar";
}

TEST(ConfigDialog, NormaliseRangeSwapsOnlyAReversedPairComparingSigned) {
  const int32_t cases[][4] = {
      {7, 3, 3, 7}, {5, 5, 5, 5}, {-1, -2, -2, -1}, {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX}};
  for (const auto& c : cases) {
    int32_t low = c[0], high = c[1];
    NormaliseRange(low, high);
    EXPECT_EQ(c[2], low) << c[0] << " " << c[1];
    EXPECT_EQ(c[3], high) << c[0] << " " << c[1];
  }
}
