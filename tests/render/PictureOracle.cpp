#include "tests/render/PictureOracle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/Universe.h"

namespace {

// Signed distance from p to the boundary of the convex polygon centre +
// outline (counter-clockwise): positive inside, negative outside.
double SignedDistanceToOutline(const Vec2& centre, const Vec2* outline, double px, double py) {
  double inside = 1e30;
  double outside = 0.0;
  for (int i = 0; i < OutlinePointCount; ++i) {
    const Vec2& a = outline[i];
    const Vec2& b = outline[(i + 1) % OutlinePointCount];
    const double ax = centre.x + a.x, ay = centre.y + a.y;
    const double ex = b.x - a.x, ey = b.y - a.y;
    const double length = std::sqrt(ex * ex + ey * ey);
    const double cross = (ex * (py - ay) - ey * (px - ax)) / length;
    inside = std::min(inside, cross);
    outside = std::min(outside, cross);
  }
  // Outside a convex polygon the most negative edge distance is a fair
  // (never larger) measure of how far out the point is.
  return inside >= 0.0 ? inside : outside;
}

struct Layer {
  const Vec2* centre;
  const Vec2* outline;
  Rgb colour;
};

Rgb BallColour(const Ball& ball) {
  return Rgb{static_cast<uint8_t>(ball.red * 255.0f), static_cast<uint8_t>(ball.green * 255.0f),
             static_cast<uint8_t>(ball.blue * 255.0f)};
}

std::vector<Layer> LayersInDrawingOrder(const Universe& universe) {
  std::vector<Layer> layers;
  for (int i = 0; i < universe.ballCount; ++i) {
    const Ball& ball = *universe.balls[i];
    layers.push_back(Layer{&ball.position, ball.outline, BallColour(ball)});
  }
  for (int i = 0; i < universe.starCount; ++i) {
    const Star& star = *universe.stars[i];
    layers.push_back(Layer{&star.position, star.outline, White});
  }
  return layers;
}

}  // namespace

int PixelColumn(float wx, int width) {
  return static_cast<int>(std::floor((wx + 300.0) * width / 600.0));
}

int PixelRow(float wy, int height) {
  return static_cast<int>(std::floor((wy + 240.0) * height / 480.0));
}

ExpectedPixel ExpectPixel(const Universe& universe, int width, int height, int x, int y) {
  const double unitsPerColumn = 600.0 / width;
  const double unitsPerRow = 480.0 / height;
  const double wx = (x + 0.5) * unitsPerColumn - 300.0;
  const double wy = (y + 0.5) * unitsPerRow - 240.0;
  const double margin = std::max(unitsPerColumn, unitsPerRow);
  ExpectedPixel expected = {true, BackgroundColour};
  for (const Layer& layer : LayersInDrawingOrder(universe)) {
    const double distance = SignedDistanceToOutline(*layer.centre, layer.outline, wx, wy);
    if (distance > margin) {
      expected.colour = layer.colour;
      expected.certain = true;  // a body fully covering the sample hides earlier edges
    } else if (distance > -margin) {
      expected.certain = false;
    }
  }
  return expected;
}

std::vector<std::string> ComparePicture(const Universe& universe, const Picture& picture,
                                        int gridStep, int* compared, int* centresCompared) {
  std::vector<std::string> mismatches;
  *compared = 0;
  *centresCompared = 0;
  auto check = [&](int x, int y, const char* what) {
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) return false;
    const ExpectedPixel expected = ExpectPixel(universe, picture.width(), picture.height(), x, y);
    if (!expected.certain) return false;
    ++*compared;
    const Rgb actual = picture.At(x, y);
    if (!(actual == expected.colour)) {
      char line[160];
      std::snprintf(line, sizeof line, "%s pixel (%d, %d): expected %s, got %s", what, x, y,
                    Describe(expected.colour).c_str(), Describe(actual).c_str());
      mismatches.push_back(line);
    }
    return true;
  };
  const int w = picture.width(), h = picture.height();
  for (int i = 0; i < universe.ballCount; ++i) {
    const Vec2 p = universe.balls[i]->position;
    if (check(PixelColumn(p.x, w), PixelRow(p.y, h), "ball centre")) ++*centresCompared;
  }
  for (int i = 0; i < universe.starCount; ++i) {
    const Vec2 p = universe.stars[i]->position;
    if (check(PixelColumn(p.x, w), PixelRow(p.y, h), "star centre")) ++*centresCompared;
  }
  for (int y = gridStep / 2; y < h; y += gridStep) {
    for (int x = gridStep / 2; x < w; x += gridStep) check(x, y, "grid");
  }
  return mismatches;
}
