// The five user settings of the saver, one record for the whole process, and
// the one table that says where each is stored, shown and given.
#pragma once
#include <cstdint>

struct SaverSettingsRecord {
  int32_t MinStars;
  int32_t MaxStars;
  int32_t MinBalls;
  int32_t MaxBalls;
  int32_t GraviticForce;
};

// Holds the start-up values 1, 10, 1, 10, 80 until something is loaded.
extern SaverSettingsRecord SaverSettings;

// What a user who never saved gets.
constexpr SaverSettingsRecord FallbackSettings = {2, 9, 3, 9, 60};

// The ranges the dialog offers.
constexpr int32_t FewestBodies = 1;
constexpr int32_t MostBodies = 12;
constexpr int32_t WeakestGravity = 40;
constexpr int32_t StrongestGravity = 120;

// One setting: the registry value that stores it, its field, the range the
// dialog and the hack allow, the hack's option and the dialog's control.
struct SettingRow {
  const char* valueName;
  int32_t SaverSettingsRecord::*field;
  int32_t lowest;
  int32_t highest;
  const char* hackOption;
  int dialogControl;
};

// In the order they are read and written: the four counts, then gravity.
constexpr int SettingCount = 5;
extern const SettingRow SettingsTable[SettingCount];

// The row of a dialog control; null for a control that edits no setting.
const SettingRow* FindSettingByControl(int controlId);
// The row of a hack option's name without dashes ("min-stars"), which the
// page's address uses too; null for any other name.
const SettingRow* FindSettingByOption(const char* name);
// Stores `value` in the row's field, clamped to the row's range.
void SetClamped(SaverSettingsRecord& settings, const SettingRow& row, long long value);

// Swaps a reversed pair, comparing as signed values; an ordered pair stays.
void NormaliseRange(int32_t& minimum, int32_t& maximum);
// Both count ranges in order, stars first, as the dialog's OK leaves them.
void NormaliseCountRanges(SaverSettingsRecord& settings);
