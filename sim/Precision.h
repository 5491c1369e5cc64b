// The arithmetic of the 32-bit build, which runs on the x87 unit: processors
// before SSE2, and Windows NT 4.0, which never enables SSE.  The unit rounds
// each result to its precision control, 64 bits after the start-up code's
// fninit or whatever a driver or DLL last set.  At 53 bits each double
// operation rounds as SSE2 and the other builds do, and every variable is
// stored to its own width (-ffloat-store), so the results match to the bit.
// The saver enters the simulation through the universe's construction and
// its two steps of a frame: each sets it and leaves it so.  Elsewhere this
// does nothing.
#pragma once

inline void UseDoublePrecision() {
#if defined(__i386__) && !defined(__SSE2_MATH__)
  unsigned short control;
  asm volatile("fnstcw %0" : "=m"(control));
  control = static_cast<unsigned short>((control & ~0x300u) | 0x200u);  // precision: 53 bits
  asm volatile("fldcw %0" : : "m"(control) : "memory");
#endif
}
