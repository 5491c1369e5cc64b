// A stand-in for the seven OpenGL calls the bodies make: each call is
// recorded with its arguments so tests can compare whole sequences.
#pragma once
#include <string>
#include <vector>

struct GLCall {
  enum Kind { Color, Push, Pop, Translate, Begin, Vertex, End } kind;
  float a = 0, b = 0, c = 0;  // glBegin's mode is kept in a
};

bool operator==(const GLCall& left, const GLCall& right);
std::string Describe(const std::vector<GLCall>& calls);

// Every call since the vector was last cleared, in order.
extern std::vector<GLCall> RecordedGL;
