// The duct functions' geometry: transition lengths and the alignment of a segment's
// frame to the one it bends from, worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "duct/DuctSegment.h"

namespace {

using tabrik::arx::duct::Frame;

constexpr double kTan15 = 0.26794919;  // tan of 15 degrees

TEST(DuctGeometry, TransitionLengthsTaperAtFifteenDegrees) {
  struct Case {
    double w1, h1;
    bool rect1;
    double w2, h2;
    bool rect2;
    double length;
  } cases[] = {
      {20, 10, true, 10, 10, true, 5 / kTan15},  // the larger difference sets it
      {20, 10, true, 20, 30, true, 10 / kTan15},
      {10, 10, true, 10, 10, true, 0},   // equal sections: no taper
      {10, 10, true, 10, 10, false, 5},  // rectangle to round: half the larger size
      {30, 10, false, 30, 10, true, 15},
      {40, 10, true, 10, 10, false, 15 / kTan15},  // the taper is already longer
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(tabrik::arx::duct::transitionLength(c.w1, c.h1, c.rect1, c.w2, c.h2, c.rect2),
                c.length, 1e-5)
        << c.w1 << "x" << c.h1 << " -> " << c.w2 << "x" << c.h2;
  }
}

bool same(const AcGeVector3d& a, const AcGeVector3d& b) { return (a - b).length() < 1e-9; }

TEST(DuctGeometry, FramesAlignAcrossABend) {
  const AcGeVector3d x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  struct Case {
    const char* name;
    Frame a, b;
    double aWidth, aHeight;
    bool aRect;
    Frame aAfter, bAfter;
    bool swapped;
  } cases[] = {
      // A plan bend whose outlet frame already matches the turned inlet frame.
      {"plan bend", {x, y, z}, {y, -x, z}, 20, 10, true, {x, y, z}, {y, -x, z}, false},
      // The outlet's width lies along the inlet's height: the turned frame replaces it
      // and the outlet's width and height change places.
      {"width on height", {x, y, z}, {y, z, x}, 20, 10, true, {x, y, z}, {y, -x, z}, true},
      // Opposite width directions: replaced, sizes kept.
      {"reversed width", {x, y, z}, {y, x, -z}, 20, 10, true, {x, y, z}, {y, -x, z}, false},
      // A round inlet lays its width in the bend: Y = X x X', Z = X x (X x X').
      {"round inlet", {x, y, z}, {y, z, x}, 10, 10, false, {x, z, -y}, {y, z, x}, false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    double bWidth = 8, bHeight = 6;
    tabrik::arx::duct::alignFrames(c.a, c.b, c.aWidth, c.aHeight, c.aRect, bWidth, bHeight);
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(same(c.a[i], c.aAfter[i])) << "a[" << i << "]";
      EXPECT_TRUE(same(c.b[i], c.bAfter[i])) << "b[" << i << "]";
    }
    EXPECT_EQ(bWidth, c.swapped ? 6 : 8);
    EXPECT_EQ(bHeight, c.swapped ? 8 : 6);
  }
}

TEST(DuctGeometry, ShapeCodesByCase) {
  struct Case {
    const wchar_t* code;
    bool roundAsWritten, rectangularUpper;
  } cases[] = {{L"RD", true, false},  {L"oo", true, false}, {L"Rd", false, false},
               {L"dX", false, false}, {L"R", false, true},  {L"", false, true},
               {L"OXO", false, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(tabrik::arx::duct::isRoundAsWritten(c.code), c.roundAsWritten);
    EXPECT_EQ(tabrik::arx::duct::isRectangularUpper(c.code), c.rectangularUpper);
  }
}

}  // namespace
