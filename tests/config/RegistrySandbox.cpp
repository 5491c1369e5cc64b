#include "tests/config/RegistrySandbox.h"

#include <cstdio>
#include <cstring>

namespace {
const char SettingsPath[] = "Software\\Quillara";
}

RegistrySandbox::RegistrySandbox(bool volatileRoot) {
  char name[128];
  std::snprintf(name, sizeof name, "Software\\QuillaraTestScratch\\%lu-%lu", GetCurrentProcessId(),
                GetTickCount());
  path_ = name;
  DWORD options = volatileRoot ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                      &scratch_, nullptr) != ERROR_SUCCESS) {
    scratch_ = nullptr;
  } else if (RegOverridePredefKey(HKEY_CURRENT_USER, scratch_) != ERROR_SUCCESS) {
    RegCloseKey(scratch_);
    scratch_ = nullptr;
  }
}

RegistrySandbox::~RegistrySandbox() {
  if (!scratch_) return;
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(scratch_);
  RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
}

uint32_t StoredValue::AsDword() const {
  uint32_t value = 0;
  std::memcpy(&value, data.data(), data.size() < 4 ? data.size() : 4);
  return value;
}

bool SettingsKeyExists() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

void CreateSettingsKey() { PutRaw(nullptr, 0, {}); }

// A null name only creates the key.
void PutRaw(const char* name, DWORD type, const std::vector<unsigned char>& data) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, SettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  if (name) RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
  RegCloseKey(key);
}

void PutDword(const char* name, uint32_t value) {
  std::vector<unsigned char> data(4);
  std::memcpy(data.data(), &value, 4);
  PutRaw(name, REG_DWORD, data);
}

StoredValue ReadStored(const char* name) {
  StoredValue result;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return result;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &result.type, nullptr, &size) == ERROR_SUCCESS) {
    result.data.resize(size);
    result.present = RegQueryValueExA(key, name, nullptr, &result.type, result.data.data(),
                                      &size) == ERROR_SUCCESS;
    result.data.resize(size);
  }
  RegCloseKey(key);
  return result;
}

void CountUnder(const char* path, DWORD* subkeys, DWORD* values) {
  *subkeys = *values = 0;
  HKEY key = HKEY_CURRENT_USER;
  if (path && RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr,
                   nullptr, nullptr, nullptr);
  if (path) RegCloseKey(key);
}
