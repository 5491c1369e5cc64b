// The seven OpenGL 1.1 entry points the bodies draw with, declared here so
// the simulation needs no platform header (the Windows <GL/gl.h> pulls in
// windows.h). The program links them from opengl32; tests link a recorder.
#pragma once

#if defined(_WIN32)
#define QUILLARA_GLAPI __stdcall
#else
#define QUILLARA_GLAPI
#endif

extern "C" {
void QUILLARA_GLAPI glColor3f(float red, float green, float blue);
void QUILLARA_GLAPI glPushMatrix(void);
void QUILLARA_GLAPI glPopMatrix(void);
void QUILLARA_GLAPI glTranslatef(float x, float y, float z);
void QUILLARA_GLAPI glBegin(unsigned int mode);
void QUILLARA_GLAPI glVertex2f(float x, float y);
void QUILLARA_GLAPI glEnd(void);
}

// The primitive glBegin draws each body as: GL_POLYGON.  WebGL's emulation
// of OpenGL 1.1 has no polygons; for a convex outline a GL_TRIANGLE_FAN
// from its first corner covers the same pixels.
#if defined(__EMSCRIPTEN__)
const unsigned int PolygonPrimitive = 6;
#else
const unsigned int PolygonPrimitive = 9;
#endif
