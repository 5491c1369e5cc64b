// Start-up: the command line, the platform and the mode that runs, inside
// the exception guard (host/FaultGuard.h).
#pragma once
#include <windows.h>

#include <cstdint>

[[noreturn]] void SaverEntry();
int SaverMain(HINSTANCE instance, const char* tail);
uint32_t ParseWindowHandle(const char* text);
int RunPreview(const char* text);
INT_PTR ShowConfigDialog(HWND parent);
int RunPasswordChange(const char* text);
// The switch dispatch: runs the mode that the first switch of the tail names
// and returns its exit code.
int RunSwitch(const char* tail);

// The text after the program name: a quoted name is skipped to its closing
// quote (or to the end when it has none), an unquoted one to the first byte
// at or below the space; then every byte from 0x01 to 0x20 is skipped.
const char* CommandLineTail(const char* commandLine);

enum class SaverSwitch {
  ConfigureUnowned,  // nothing at all: the dialog without an owner
  FullScreen,        // s
  Preview,           // p or l: rest is the parent handle's text
  ConfigureOwned,    // c: rest is what follows the letter
  PasswordChange,    // a: rest is the owner handle's text
  Unknown,           // any other byte: exit code -1
};

struct SwitchReading {
  SaverSwitch kind;
  const char* rest;  // where the switch's argument starts; the tail's end otherwise
};

// Only the first switch letter counts; spaces, '-' and '/' before it are
// skipped, and bytes 0x80 to 0xFF count as below the space.
SwitchReading ReadFirstSwitch(const char* tail);

// After "c": ":" and a decimal handle names the owner; anything else is 0.
uint32_t ReadConfigOwner(const char* rest);

// A 32-bit handle value from the command line as a window handle.  Window
// handles carry 32 significant bits and are sign-extended on 64-bit Windows,
// as LongToHandle does.
inline HWND WindowFromValue(uint32_t value) {
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<int32_t>(value)));
}
