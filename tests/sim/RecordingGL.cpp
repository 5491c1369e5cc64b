#include "tests/sim/RecordingGL.h"

#include <cstdio>

#include "sim/GLFunctions.h"

std::vector<GLCall> RecordedGL;

void ClearRecordedGL() { RecordedGL.clear(); }

namespace {
GLCall Make(GLCall::Kind kind, float a, float b, float c, unsigned int mode) {
  GLCall call;
  call.kind = kind;
  call.a = a;
  call.b = b;
  call.c = c;
  call.mode = mode;
  return call;
}
}  // namespace

GLCall ColorCall(float red, float green, float blue) {
  return Make(GLCall::Color, red, green, blue, 0);
}
GLCall PushCall() { return Make(GLCall::Push, 0, 0, 0, 0); }
GLCall PopCall() { return Make(GLCall::Pop, 0, 0, 0, 0); }
GLCall TranslateCall(float x, float y, float z) { return Make(GLCall::Translate, x, y, z, 0); }
GLCall BeginCall(unsigned int mode) { return Make(GLCall::Begin, 0, 0, 0, mode); }
GLCall VertexCall(float x, float y) { return Make(GLCall::Vertex, x, y, 0, 0); }
GLCall EndCall() { return Make(GLCall::End, 0, 0, 0, 0); }

// Arguments compare exactly: the bodies pass stored floats straight through.
bool operator==(const GLCall& left, const GLCall& right) {
  return left.kind == right.kind && left.a == right.a && left.b == right.b && left.c == right.c &&
         left.mode == right.mode;
}

std::string Describe(const GLCall& call) {
  char text[96];
  switch (call.kind) {
    case GLCall::Color:
      std::snprintf(text, sizeof text, "glColor3f(%.9g, %.9g, %.9g)", call.a, call.b, call.c);
      break;
    case GLCall::Push:
      std::snprintf(text, sizeof text, "glPushMatrix()");
      break;
    case GLCall::Pop:
      std::snprintf(text, sizeof text, "glPopMatrix()");
      break;
    case GLCall::Translate:
      std::snprintf(text, sizeof text, "glTranslatef(%.9g, %.9g, %.9g)", call.a, call.b, call.c);
      break;
    case GLCall::Begin:
      std::snprintf(text, sizeof text, "glBegin(%u)", call.mode);
      break;
    case GLCall::Vertex:
      std::snprintf(text, sizeof text, "glVertex2f(%.9g, %.9g)", call.a, call.b);
      break;
    case GLCall::End:
      std::snprintf(text, sizeof text, "glEnd()");
      break;
  }
  return text;
}

std::string Describe(const std::vector<GLCall>& calls) {
  std::string text;
  for (const GLCall& call : calls) text += "  " + Describe(call) + "\n";
  return text;
}

extern "C" {
void QUILLARA_GLAPI glColor3f(float red, float green, float blue) {
  RecordedGL.push_back(ColorCall(red, green, blue));
}
void QUILLARA_GLAPI glPushMatrix(void) { RecordedGL.push_back(PushCall()); }
void QUILLARA_GLAPI glPopMatrix(void) { RecordedGL.push_back(PopCall()); }
void QUILLARA_GLAPI glTranslatef(float x, float y, float z) {
  RecordedGL.push_back(TranslateCall(x, y, z));
}
void QUILLARA_GLAPI glBegin(unsigned int mode) { RecordedGL.push_back(BeginCall(mode)); }
void QUILLARA_GLAPI glVertex2f(float x, float y) { RecordedGL.push_back(VertexCall(x, y)); }
void QUILLARA_GLAPI glEnd(void) { RecordedGL.push_back(EndCall()); }
}
