// What a program linked with quillara_sim_probes counts: every global allocation
// (CountingAllocator.cpp replaces operator new) and every vertex drawn
// (NoDrawing.cpp stands in for OpenGL).
#pragma once

extern long long AllocationCount;
extern long long DrawnVertices;
