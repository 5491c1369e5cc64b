// Counts every global allocation of the program that includes this file's
// definitions (CountingAllocator.cpp replaces operator new).
#pragma once

extern long long AllocationCount;
