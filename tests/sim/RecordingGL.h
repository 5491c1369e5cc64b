// A stand-in for the seven OpenGL calls the bodies make: each call is
// recorded with its arguments so tests can compare whole sequences.
#pragma once
#include <string>
#include <vector>

struct GLCall {
  enum Kind { Color, Push, Pop, Translate, Begin, Vertex, End };
  Kind kind;
  float a;
  float b;
  float c;
  unsigned int mode;
};

bool operator==(const GLCall& left, const GLCall& right);
std::string Describe(const GLCall& call);
std::string Describe(const std::vector<GLCall>& calls);

// Every call since the last ClearRecordedGL, in order.
extern std::vector<GLCall> RecordedGL;
void ClearRecordedGL();

GLCall ColorCall(float red, float green, float blue);
GLCall PushCall();
GLCall PopCall();
GLCall TranslateCall(float x, float y, float z);
GLCall BeginCall(unsigned int mode);
GLCall VertexCall(float x, float y);
GLCall EndCall();
