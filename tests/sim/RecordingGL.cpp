#include "tests/sim/RecordingGL.h"

#include <cstdio>

#include "sim/GLFunctions.h"

std::vector<GLCall> RecordedGL;

// Arguments compare exactly: the bodies pass stored floats straight through.
bool operator==(const GLCall& left, const GLCall& right) {
  return left.kind == right.kind && left.a == right.a && left.b == right.b && left.c == right.c;
}

std::string Describe(const std::vector<GLCall>& calls) {
  static const char* const names[] = {"glColor3f", "glPushMatrix", "glPopMatrix", "glTranslatef",
                                      "glBegin",   "glVertex2f",   "glEnd"};
  std::string text;
  for (const GLCall& call : calls) {
    char line[96];
    std::snprintf(line, sizeof line, "  %s(%.9g, %.9g, %.9g)\n", names[call.kind], call.a, call.b,
                  call.c);
    text += line;
  }
  return text;
}

extern "C" {
void QUILLARA_GLAPI glColor3f(float red, float green, float blue) {
  RecordedGL.push_back({GLCall::Color, red, green, blue});
}
void QUILLARA_GLAPI glPushMatrix(void) { RecordedGL.push_back({GLCall::Push}); }
void QUILLARA_GLAPI glPopMatrix(void) { RecordedGL.push_back({GLCall::Pop}); }
void QUILLARA_GLAPI glTranslatef(float x, float y, float z) {
  RecordedGL.push_back({GLCall::Translate, x, y, z});
}
void QUILLARA_GLAPI glBegin(unsigned int mode) {
  RecordedGL.push_back({GLCall::Begin, static_cast<float>(mode)});
}
void QUILLARA_GLAPI glVertex2f(float x, float y) { RecordedGL.push_back({GLCall::Vertex, x, y}); }
void QUILLARA_GLAPI glEnd(void) { RecordedGL.push_back({GLCall::End}); }
}
