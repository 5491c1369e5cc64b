// Gives one test its own HKEY_CURRENT_USER: a scratch key that the process's
// HKEY_CURRENT_USER is redirected to, removed again when the test ends.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class RegistrySandbox {
 public:
  // volatileRoot: the scratch key is volatile, so no non-volatile key can be
  // created beneath it (a registry where the settings key cannot be made).
  explicit RegistrySandbox(bool volatileRoot = false);
  ~RegistrySandbox();
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;
  bool ready() const { return scratch_ != nullptr; }

 private:
  std::string path_;  // below the real HKEY_CURRENT_USER
  HKEY scratch_ = nullptr;
};

// Helpers on the settings key of the redirected HKEY_CURRENT_USER.
bool SettingsKeyExists();
void CreateSettingsKey();
void PutRaw(const char* name, DWORD type, const std::vector<unsigned char>& data);
void PutDword(const char* name, uint32_t value);

struct StoredValue {
  bool present = false;
  DWORD type = 0;
  std::vector<unsigned char> data;
  uint32_t AsDword() const;
};
StoredValue ReadStored(const char* name);
// Subkeys and values of the key at path (nullptr: HKEY_CURRENT_USER itself).
void CountUnder(const char* path, DWORD* subkeys, DWORD* values);
