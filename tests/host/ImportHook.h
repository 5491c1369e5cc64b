// Redirects one imported function of the test executable through its import
// address table, so calls made by the code under test can be recorded and
// then forwarded to the real function.
#pragma once
#include <windows.h>

// Returns the original address, or null when the executable does not import
// the function from that library.
void* HookImport(const char* library, const char* function, void* replacement);
