// Compares a float with a reference value given as a decimal: the value must
// round to those digits, i.e. lie within half a unit of the last place.
#pragma once
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

inline ::testing::AssertionResult MatchesPrinted(const char* actualExpr, const char*, float actual,
                                                 const char* printed) {
  const char* point = std::strchr(printed, '.');
  const int places = point ? static_cast<int>(std::strlen(point + 1)) : 0;
  const double expected = std::strtod(printed, nullptr);
  const double halfUnit = 0.5 * std::pow(10.0, -places);
  const double error = std::fabs(static_cast<double>(actual) - expected);
  // A hair of slack for the decimal-to-binary conversion of the bound.
  if (error <= halfUnit * (1.0 + 1e-9)) return ::testing::AssertionSuccess();
  char text[160];
  std::snprintf(text, sizeof text, "%s is %.9g, which does not print as %s", actualExpr, actual,
                printed);
  return ::testing::AssertionFailure() << text;
}

#define EXPECT_PRINTS(actual, printed) EXPECT_PRED_FORMAT2(MatchesPrinted, actual, printed)
