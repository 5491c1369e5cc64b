// Where the settings live: one key under HKEY_CURRENT_USER.
#pragma once

inline constexpr char SettingsKeyPath[] = "Software\\Quillara";
