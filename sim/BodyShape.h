// Sizes shared by both kinds of body.
#pragma once
#include <cstdint>

const int32_t OutlinePointCount = 15;
const float StarRadius = 15.0f;
const float BallRadius = 12.0f;
