// The benchmarks, the soak and the simulation's tests never draw; these
// satisfy the linker in place of the OpenGL library, and count the vertices.
#include "bench/sim/CountingAllocator.h"
#include "sim/GLFunctions.h"

long long DrawnVertices = 0;

extern "C" {
void QUILLARA_GLAPI glColor3f(float, float, float) {}
void QUILLARA_GLAPI glPushMatrix(void) {}
void QUILLARA_GLAPI glPopMatrix(void) {}
void QUILLARA_GLAPI glTranslatef(float, float, float) {}
void QUILLARA_GLAPI glBegin(unsigned int) {}
void QUILLARA_GLAPI glVertex2f(float, float) { ++DrawnVertices; }
void QUILLARA_GLAPI glEnd(void) {}
}
