// What a frame of a universe must look like, worked out from the bodies
// themselves: the fixed view maps world (x, y) to window pixel
// ((x + 300) * W / 600, (y + 240) * H / 480), bodies are filled polygons on
// their outlines, balls in slot order and then stars on top, over the clear
// colour.
#pragma once
#include <string>
#include <vector>

#include "tests/render/SaverTestSupport.h"

class Universe;

struct ExpectedPixel {
  bool certain;  // false: a body's edge passes within a pixel of the sample
  Rgb colour;
};

// The colour of pixel (x, y) of a width x height window, sampled at its centre.
ExpectedPixel ExpectPixel(const Universe& universe, int width, int height, int x, int y);

// The pixel that holds world point (wx, wy).
int PixelColumn(float wx, int width);
int PixelRow(float wy, int height);

// Compares the picture with the oracle at every body's centre and on a grid
// of width/step x height/step points; returns one line per mismatch, and the
// number of certain samples compared in `compared`.
std::vector<std::string> ComparePicture(const Universe& universe, const Picture& picture,
                                        int gridStep, int* compared, int* centresCompared);
