// The random generator, and what Star and Ball take from it.
#include <gtest/gtest.h>

#include "sim/Ball.h"
#include "sim/Random.h"
#include "sim/Star.h"

TEST(Random, ClassicSequenceAndTheDrawsEachBodyTakes) {
  SeedRandom(1);
  const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (int32_t n : expected) EXPECT_EQ(n, NextRandom());
  // The state is the full 32-bit value: seed 0 steps to 2531011 (draw 38).
  SeedRandom(0);
  EXPECT_EQ(38, NextRandom());
  EXPECT_EQ(2531011u, RandomState);

  SeedRandom(1);
  const Star star(-40.0f, 75.0f);
  EXPECT_EQ(1u, RandomState) << "a star draws nothing";
  const Ball ball(10.0f, -20.0f);  // takes 41: red
  EXPECT_EQ(1.0f, ball.red);
  EXPECT_EQ(0.0f, ball.velocity.x);
  EXPECT_EQ(0.0f, ball.velocity.y);
  EXPECT_EQ(18467, NextRandom()) << "a ball draws exactly one number";
}

TEST(Ball, EveryDrawGivesOneColourSplitAt10813And21626) {
  const uint32_t inverse = 0xB9B33155u;  // 214013 * inverse == 1 mod 2^32
  for (int32_t n = 0; n <= 32767; ++n) {
    // Step back from the state n << 16 so that the next draw is n.
    RandomState = ((static_cast<uint32_t>(n) << 16) - 2531011u) * inverse;
    const uint32_t before = RandomState;
    ASSERT_EQ(n, NextRandom());
    RandomState = before;
    const Ball ball(0.0f, 0.0f);
    const bool red = n <= 10813, green = n >= 10814 && n <= 21626, blue = n >= 21627;
    ASSERT_EQ(red ? 1.0f : 0.0f, ball.red) << n;
    ASSERT_EQ(green ? 1.0f : 0.0f, ball.green) << n;
    ASSERT_EQ(blue ? 1.0f : 0.0f, ball.blue) << n;
  }
}
