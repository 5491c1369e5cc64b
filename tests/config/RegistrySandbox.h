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
  const std::string& path() const { return path_; }  // below the real HKCU

 private:
  std::string path_;
  HKEY scratch_ = nullptr;
};

// Helpers on the redirected HKEY_CURRENT_USER.
bool SettingsKeyExists();
void CreateSettingsKey();
void PutDword(const char* name, uint32_t value);
void PutRaw(const char* name, DWORD type, const std::vector<unsigned char>& data);

struct StoredValue {
  bool present = false;
  DWORD type = 0;
  std::vector<unsigned char> data;
  uint32_t AsDword() const;
};
StoredValue ReadStored(const char* name);
// Number of values and of subkeys in the settings key.
DWORD StoredValueCount();
DWORD StoredSubkeyCount();
// Number of subkeys directly under the redirected HKEY_CURRENT_USER.
DWORD RootSubkeyCount();
