// Points, vectors and transforms, checked against results worked by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gemat3d.h"
#include "geplane.h"

namespace {

constexpr double kPi = std::numbers::pi;

void expectPoint(const AcGePoint3d& actual, double x, double y, double z) {
  EXPECT_NEAR(actual.x, x, 1e-12);
  EXPECT_NEAR(actual.y, y, 1e-12);
  EXPECT_NEAR(actual.z, z, 1e-12);
}

TEST(AcGe, TransformsMapPointsAsWorkedByHand) {
  struct Case {
    const char* name;
    AcGeMatrix3d m;
    AcGePoint3d in;
    double x, y, z;
  } cases[] = {
      {"translate", AcGeMatrix3d::translation({1, 2, 3}), {1, 1, 1}, 2, 3, 4},
      {"rotate 90 about Z",
       AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis),
       {1, 0, 0},
       0,
       1,
       0},
      {"rotate 90 about Z at (1,1)",
       AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis, {1, 1, 0}),
       {2, 1, 0},
       1,
       2,
       0},
      {"rotate 120 about (1,1,1) cycles axes",
       AcGeMatrix3d::rotation(2 * kPi / 3, {1, 1, 1}),
       {1, 0, 0},
       0,
       1,
       0},
      {"scale 2 about (1,0,0)", AcGeMatrix3d::scaling(2, {1, 0, 0}), {2, 1, 0}, 3, 2, 0},
      {"mirror in x = 1",
       AcGeMatrix3d::mirroring(AcGePlane({1, 0, 0}, {1, 0, 0})),
       {3, 5, 0},
       -1,
       5,
       0},
      // The arbitrary axis rule: for normal -Z the OCS X axis is world -X.
      {"OCS of -Z", AcGeMatrix3d::planeToWorld({0, 0, -1}), {1, 2, 3}, -1, 2, -3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    expectPoint(c.m * c.in, c.x, c.y, c.z);
  }
}

TEST(AcGe, InverseUndoesAndCompositionOrders) {
  AcGeMatrix3d m = AcGeMatrix3d::translation({5, -2, 1}) *
                   AcGeMatrix3d::rotation(0.7, {0.3, 0.4, 1}) * AcGeMatrix3d::scaling(3);
  AcGePoint3d p(1.5, -7, 2);
  AcGePoint3d back = m.inverse() * (m * p);
  expectPoint(back, 1.5, -7, 2);
  // Scale then translate: (1,0,0) -> (2,0,0) -> (2,0,5).
  expectPoint(
      (AcGeMatrix3d::translation({0, 0, 5}) * AcGeMatrix3d::scaling(2)) * AcGePoint3d(1, 0, 0), 2,
      0, 5);
  EXPECT_NEAR(m.scale(), 3.0, 1e-12);
  EXPECT_TRUE(m.isUniScaledOrtho());
  AcGeMatrix3d squash;
  squash.entry[0][0] = 2;
  EXPECT_FALSE(squash.isUniScaledOrtho());
}

TEST(AcGe, AnglesBetweenVectors) {
  EXPECT_NEAR(AcGeVector3d(1, 0, 0).angleTo({0, 1, 0}), kPi / 2, 1e-12);
  // Signed about +Z: from X to -Y is three quarters of a turn.
  EXPECT_NEAR(AcGeVector3d(1, 0, 0).angleTo({0, -1, 0}, AcGeVector3d::kZAxis), 3 * kPi / 2, 1e-12);
  EXPECT_NEAR(AcGeVector2d(-1, -1).angle(), 5 * kPi / 4, 1e-12);
  EXPECT_TRUE(AcGeVector3d(1, 2, 3).isParallelTo({-2, -4, -6}));
  EXPECT_FALSE(AcGeVector3d(1, 2, 3).isCodirectionalTo({-2, -4, -6}));
  EXPECT_TRUE(AcGePoint3d(1, 1, 1).isEqualTo({1, 1, 1 + 1e-11}));
  EXPECT_FALSE(AcGePoint3d(1, 1, 1).isEqualTo({1, 1, 1 + 1e-9}));
}

TEST(AcGe, ProjectionOntoPlanes) {
  AcGePlane xy;
  expectPoint(AcGePoint3d(3, 4, 9).orthoProject(xy), 3, 4, 0);
  // Along (1,0,1) from (3,4,9) to z = 0: back 9 along x too.
  expectPoint(AcGePoint3d(3, 4, 9).project(xy, {1, 0, 1}), -6, 4, 0);
}

}  // namespace
