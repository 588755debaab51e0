// Curve queries and intersections of the host's curves, against geometry worked by
// hand.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "dbents.h"
#include "dbpl.h"

namespace {

constexpr double kPi = std::numbers::pi;

void expectPoint(const AcGePoint3d& p, double x, double y, double z = 0) {
  EXPECT_NEAR(p.x, x, 1e-9);
  EXPECT_NEAR(p.y, y, 1e-9);
  EXPECT_NEAR(p.z, z, 1e-9);
}

TEST(Curves, LineParametersAreDistances) {
  AcDbLine line({0, 0, 0}, {3, 4, 0});
  double p = 0, d = 0;
  ASSERT_EQ(line.getEndParam(p), Acad::eOk);
  EXPECT_DOUBLE_EQ(p, 5.0);
  AcGePoint3d at;
  line.getPointAtDist(2.5, at);
  expectPoint(at, 1.5, 2.0);
  line.getParamAtPoint({1.5, 2, 0}, p);
  EXPECT_NEAR(p, 2.5, 1e-12);
  EXPECT_EQ(line.getDistAtPoint({1, 0, 0}, d), Acad::eInvalidInput);  // off the line
  EXPECT_EQ(line.getPointAtParam(5.5, at), Acad::eInvalidInput);
  // (3,0) projects at t = 9/25 of the way.
  line.getClosestPointTo({3, 0, 0}, at);
  expectPoint(at, 1.08, 1.44);
  line.getClosestPointTo({-3, -4, 5}, at);
  expectPoint(at, 0, 0);
  line.getClosestPointTo({-3, -4, 5}, at, /*extend=*/true);
  expectPoint(at, -3, -4);
}

TEST(Curves, ArcAndCircleParametersAreAngles) {
  AcDbArc arc({0, 0, 0}, 2.0, 0.0, kPi / 2);
  double start = 0, end = 0, dist = 0;
  arc.getStartParam(start);
  arc.getEndParam(end);
  EXPECT_DOUBLE_EQ(start, 0.0);
  EXPECT_NEAR(end, kPi / 2, 1e-12);
  AcGePoint3d at;
  arc.getPointAtParam(kPi / 4, at);
  expectPoint(at, std::sqrt(2.0), std::sqrt(2.0));
  arc.getDistAtParam(kPi / 4, dist);
  EXPECT_NEAR(dist, kPi / 2, 1e-12);
  AcGeVector3d tangent;
  arc.getFirstDeriv(kPi / 2, tangent);  // at (0,2): heading -X, length r
  EXPECT_NEAR(tangent.x, -2.0, 1e-12);
  EXPECT_NEAR(tangent.y, 0.0, 1e-12);
  // An arc from 350 to 10 degrees crosses zero.
  AcDbArc wrap({0, 0, 0}, 1.0, 350 * kPi / 180, 10 * kPi / 180);
  EXPECT_NEAR(wrap.totalAngle(), 20 * kPi / 180, 1e-12);
  AcDbCircle circle({0, 0, 0}, AcGeVector3d::kZAxis, 1.0);
  circle.getEndParam(end);
  EXPECT_NEAR(end, 2 * kPi, 1e-12);
  circle.getDistAtParam(kPi, dist);
  EXPECT_NEAR(dist, kPi, 1e-12);
}

TEST(Curves, PolylineWithABulge) {
  // (0,0) -> (10,0) -> semicircle (bulge 1, counter-clockwise) -> (10,10) -> back.
  AcDbPolyline pline;
  pline.addVertexAt(0, {0, 0});
  pline.addVertexAt(1, {10, 0}, 1.0);
  pline.addVertexAt(2, {10, 10});
  pline.setClosed(true);
  double end = 0, dist = 0, area = 0;
  pline.getEndParam(end);
  EXPECT_DOUBLE_EQ(end, 3.0);
  AcGePoint3d at;
  pline.getPointAtParam(1.5, at);  // the middle of the semicircle lies outside, at x = 15
  expectPoint(at, 15, 5);
  pline.getDistAtParam(2.0, dist);
  EXPECT_NEAR(dist, 10 + 5 * kPi, 1e-9);
  pline.getArea(area);
  EXPECT_NEAR(area, 50 + 12.5 * kPi, 1e-9);
  AcDbExtents extents;
  ASSERT_EQ(pline.getGeomExtents(extents), Acad::eOk);
  expectPoint(extents.maxPoint(), 15, 10);
  AcDbVoidPtrArray pieces;
  ASSERT_EQ(pline.explode(pieces), Acad::eOk);
  ASSERT_EQ(pieces.length(), 3);
  auto* arc = AcDbArc::cast(static_cast<AcDbEntity*>(pieces[1]));
  ASSERT_NE(arc, nullptr);
  expectPoint(arc->center(), 10, 5);
  EXPECT_NEAR(arc->radius(), 5, 1e-12);
  EXPECT_NEAR(arc->startAngle(), 3 * kPi / 2, 1e-9);
  for (void* piece : pieces) delete static_cast<AcDbEntity*>(piece);
}

TEST(Curves, ClosestPointAlongADirection) {
  AcDbLine slope({0, 0, 0}, {10, 0, 10});
  AcGePoint3d at;
  ASSERT_EQ(slope.getClosestPointTo({5, 3, 100}, AcGeVector3d::kZAxis, at), Acad::eOk);
  expectPoint(at, 5, 0, 5);
}

TEST(Intersections, ExtendModesOfTwoLines) {
  AcDbLine first({0, 0, 0}, {1, 0, 0});
  AcDbLine second({2, -1, 0}, {2, 1, 0});
  struct Case {
    AcDb::Intersect mode;
    int count;
  } cases[] = {{AcDb::kOnBothOperands, 0},
               {AcDb::kExtendThis, 1},
               {AcDb::kExtendArg, 0},
               {AcDb::kExtendBoth, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    AcGePoint3dArray points;
    ASSERT_EQ(first.intersectWith(&second, c.mode, points), Acad::eOk);
    ASSERT_EQ(points.length(), c.count);
    if (c.count == 1) expectPoint(points[0], 2, 0);
  }
}

TEST(Intersections, CirclesArcsAndTangents) {
  AcDbCircle a({0, 0, 0}, AcGeVector3d::kZAxis, 5), b({8, 0, 0}, AcGeVector3d::kZAxis, 5);
  AcGePoint3dArray points;
  a.intersectWith(&b, AcDb::kOnBothOperands, points);
  ASSERT_EQ(points.length(), 2);
  EXPECT_NEAR(points[0].x, 4, 1e-9);
  EXPECT_NEAR(std::fabs(points[0].y), 3, 1e-9);
  EXPECT_NEAR(points[0].y, -points[1].y, 1e-9);
  AcDbLine tangent({-10, 5, 0}, {10, 5, 0});
  points.removeAll();
  a.intersectWith(&tangent, AcDb::kOnBothOperands, points);
  ASSERT_EQ(points.length(), 1);
  expectPoint(points[0], 0, 5);
  // Only the quarter from 0 to 90 degrees: the line x = 3 meets it once, at y = 4.
  AcDbArc quarter({0, 0, 0}, 5, 0, kPi / 2);
  AcDbLine vertical({3, -10, 0}, {3, 10, 0});
  points.removeAll();
  quarter.intersectWith(&vertical, AcDb::kOnBothOperands, points);
  ASSERT_EQ(points.length(), 1);
  expectPoint(points[0], 3, 4);
  points.removeAll();
  quarter.intersectWith(&vertical, AcDb::kExtendThis, points);  // the whole circle
  EXPECT_EQ(points.length(), 2);
}

// A counter-clockwise arc path of radius 10 from (0,0) heading east has its centre at
// (0,10); a line through its end (10,10) across the heading there meets it a quarter
// turn along, at 10 * pi / 2.
TEST(Intersections, ArcPathMeetsACrossingLine) {
  AcDbArc path({0, 10, 0}, 10, 3 * kPi / 2, 2 * kPi);
  AcDbLine across({5, 10, 0}, {15, 10, 0});
  AcGePoint3dArray points;
  ASSERT_EQ(path.intersectWith(&across, AcDb::kOnBothOperands, points), Acad::eOk);
  ASSERT_EQ(points.length(), 1);
  double dist = 0;
  ASSERT_EQ(path.getDistAtPoint(points[0], dist), Acad::eOk);
  EXPECT_NEAR(dist, 15.707963267948966, 1e-9);
}

TEST(Intersections, WithAProjectionPlane) {
  AcDbLine low({0, 0, 0}, {10, 0, 0});
  AcDbLine high({5, -5, 7}, {5, 5, 7});
  AcGePoint3dArray points;
  low.intersectWith(&high, AcDb::kOnBothOperands, points);
  EXPECT_EQ(points.length(), 0);  // they pass each other in space
  low.intersectWith(&high, AcDb::kOnBothOperands, AcGePlane(), points);
  ASSERT_EQ(points.length(), 1);
  expectPoint(points[0], 5, 0, 0);  // the point on this entity
}

}  // namespace
