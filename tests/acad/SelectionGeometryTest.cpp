// The plan geometry beneath window, polygon and fence selection: points on edges and
// corners, touching and collinear segments, and the outlines of arcs and circles.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dbents.h"
#include "aced/select/SelectionGeometry.h"

using tabrik::acad::PlanPoint;
using tabrik::acad::PlanPolygon;
using tabrik::acad::PlanSegment;

namespace {

// An L: the square (0,0)-(4,4) without its top-right quarter (2,2)-(4,4).
const PlanPolygon kL{{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}};

}  // namespace

TEST(SelectionGeometryTest, PointsInsideAnLShape) {
  const struct {
    PlanPoint point;
    bool inside;
  } cases[] = {
      {{1, 1}, true},  {{3, 1}, true},   {{1, 3}, true},  {{3, 3}, false},
      {{5, 1}, false}, {{-1, 1}, false}, {{2, 3}, true},  {{4, 1}, true},
      {{0, 0}, true},  {{2, 2}, true},   {{4, 3}, false}, {{1, 4.5}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
    EXPECT_EQ(tabrik::acad::isInsidePolygon(c.point, kL), c.inside);
  }
  EXPECT_FALSE(tabrik::acad::isInsidePolygon({0, 0}, PlanPolygon{{0, 0}, {1, 1}}));
}

TEST(SelectionGeometryTest, SegmentsThatMeet) {
  const struct {
    const char* name;
    PlanSegment s, t;
    bool meet;
  } cases[] = {
      {"proper crossing", {{0, 0}, {2, 2}}, {{0, 2}, {2, 0}}, true},
      {"T junction", {{0, 0}, {2, 0}}, {{1, 0}, {1, 3}}, true},
      {"shared end", {{0, 0}, {1, 1}}, {{1, 1}, {2, 0}}, true},
      {"collinear overlap", {{0, 0}, {3, 0}}, {{2, 0}, {5, 0}}, true},
      {"collinear apart", {{0, 0}, {1, 0}}, {{2, 0}, {3, 0}}, false},
      {"parallel", {{0, 0}, {3, 0}}, {{0, 1}, {3, 1}}, false},
      {"would meet if longer", {{0, 0}, {1, 1}}, {{3, 0}, {2, 1}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tabrik::acad::segmentsMeet(c.s, c.t), c.meet);
    EXPECT_EQ(tabrik::acad::segmentsMeet(c.t, c.s), c.meet);
  }
}

TEST(SelectionGeometryTest, InsideAndCrossingAnLShape) {
  const struct {
    const char* name;
    std::vector<PlanSegment> outline;
    bool inside, meets;
  } cases[] = {
      {"in the foot", {{{0.5, 0.5}, {3.5, 0.5}}}, true, true},
      {"across the missing corner", {{{1, 3.5}, {3.5, 1}}}, false, true},
      {"touching the inner corner only", {{{1, 3}, {3, 1}}}, true, true},
      {"along an inner edge", {{{2, 2}, {2, 4}}}, true, true},
      {"in the missing corner", {{{2.5, 2.5}, {3.5, 3.5}}}, false, false},
      {"enclosing the whole shape",
       {{{-1, -1}, {5, -1}}, {{5, -1}, {5, 5}}, {{5, 5}, {-1, 5}}, {{-1, 5}, {-1, -1}}},
       false,
       false},
      {"poking out of the foot", {{{3, 1}, {6, 1}}}, false, true},
      {"nothing", {}, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tabrik::acad::outlineIsInside(c.outline, kL), c.inside);
    EXPECT_EQ(tabrik::acad::outlineMeetsPolygon(c.outline, kL), c.meets);
  }
}

TEST(SelectionGeometryTest, ArcsAndCirclesAreSeenByTheirCurve) {
  // A quarter arc of radius 5 from 0 to 90 degrees about the origin.
  AcDbArc arc(AcGePoint3d(0, 0, 0), 5.0, 0.0, M_PI / 2);
  AcDbCircle circle(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 1), 5.0);
  const PlanPolygon nearEast{{4.5, -1}, {5.5, -1}, {5.5, 1}, {4.5, 1}};
  const PlanPolygon nearWest{{-5.5, -1}, {-4.5, -1}, {-4.5, 1}, {-5.5, 1}};
  const PlanPolygon atTheCentre{{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  const PlanPolygon nearNortheast{{3.3, 3.3}, {3.8, 3.3}, {3.8, 3.8}, {3.3, 3.8}};
  std::vector<PlanSegment> arcOutline = tabrik::acad::outlineOf(&arc);
  std::vector<PlanSegment> circleOutline = tabrik::acad::outlineOf(&circle);
  EXPECT_TRUE(tabrik::acad::outlineMeetsPolygon(arcOutline, nearEast));
  EXPECT_TRUE(tabrik::acad::outlineMeetsPolygon(arcOutline, nearNortheast));
  EXPECT_FALSE(tabrik::acad::outlineMeetsPolygon(arcOutline, nearWest));
  EXPECT_TRUE(tabrik::acad::outlineMeetsPolygon(circleOutline, nearWest));
  // A window inside a circle does not cross it.
  EXPECT_FALSE(tabrik::acad::outlineMeetsPolygon(circleOutline, atTheCentre));
}
