// The benchmarks and the soak never draw; these satisfy the linker in place
// of the OpenGL library.
#include "sim/GLFunctions.h"

extern "C" {
void QUILLARA_GLAPI glColor3f(float, float, float) {}
void QUILLARA_GLAPI glPushMatrix(void) {}
void QUILLARA_GLAPI glPopMatrix(void) {}
void QUILLARA_GLAPI glTranslatef(float, float, float) {}
void QUILLARA_GLAPI glBegin(unsigned int) {}
void QUILLARA_GLAPI glVertex2f(float, float) {}
void QUILLARA_GLAPI glEnd(void) {}
}
