// Replaces the global allocation functions of the test program so that a
// test can make every C++ allocation fail for a while.
#pragma once

// While non-zero, every operator new fails: the throwing forms throw
// std::bad_alloc and the nothrow forms return null.
extern volatile int FailAllocations;

// Counts the allocations refused so far.
extern volatile long RefusedAllocations;

// Fails every allocation for its lifetime.
struct AllocationFailureScope {
  AllocationFailureScope() { FailAllocations = 1; }
  ~AllocationFailureScope() { FailAllocations = 0; }
};
