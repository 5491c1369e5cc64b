// The frame-cost comparison both benchmarks make: the scene's frame on a full
// universe (15 stars, 15 balls) against a bare clear, finish and present,
// interleaved in short blocks so that drift in the machine's load hits both
// alike, and where the difference goes (the physics step, the drawing).
#pragma once

// `present` shows the back buffer as the host does (and waits for the
// server, where there is one); `name` says what it is in the report.
// Prints the report; returns the median of the blocks' ratios.
double CompareFrameCost(int frames, void (*present)(), const char* name);
