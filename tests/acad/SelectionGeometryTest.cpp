// The plan geometry beneath window, polygon and fence selection: points on edges and
// corners, touching and collinear segments, and the outlines of arcs and circles, the
// latter against closed forms and dense samples of the curves that do not go through
// the outline code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "dbents.h"
#include "aced/select/SelectionGeometry.h"

using tabrik::acad::Outline;
using tabrik::acad::PlanPoint;
using tabrik::acad::PlanPolygon;
using tabrik::acad::PlanSegment;

namespace {

// An L: the square (0,0)-(4,4) without its top-right quarter (2,2)-(4,4).
const PlanPolygon kL{{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}};

// A square with a V cut into its top edge, the tip at (5,5): the notch opens between
// (4,10) and (6,10).
const PlanPolygon kV{{0, 0}, {10, 0}, {10, 10}, {6, 10}, {5, 5}, {4, 10}, {0, 10}};

PlanPolygon box(double x0, double y0, double x1, double y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

double distanceToSegment(const PlanPoint& p, const PlanPoint& a, const PlanPoint& b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double length2 = dx * dx + dy * dy;
  double u =
      length2 == 0 ? 0 : std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0);
  return std::hypot(p.x - (a.x + u * dx), p.y - (a.y + u * dy));
}

// Where a point lies against a polygon, by its winding number, with a margin around the
// boundary that the sampled checks leave undecided.
enum class Side { kIn, kOut, kNear };

Side sideOf(const PlanPoint& p, const PlanPolygon& polygon, double margin) {
  double minX = polygon[0].x, maxX = minX, minY = polygon[0].y, maxY = minY;
  for (const PlanPoint& q : polygon) {
    minX = std::min(minX, q.x), maxX = std::max(maxX, q.x);
    minY = std::min(minY, q.y), maxY = std::max(maxY, q.y);
  }
  if (p.x < minX - margin || p.x > maxX + margin || p.y < minY - margin || p.y > maxY + margin)
    return Side::kOut;
  int winding = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const PlanPoint& a = polygon[i];
    const PlanPoint& b = polygon[(i + 1) % polygon.size()];
    if (distanceToSegment(p, a, b) <= margin) return Side::kNear;
    double turn = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
    if (a.y <= p.y && b.y > p.y && turn > 0) ++winding;
    if (a.y > p.y && b.y <= p.y && turn < 0) --winding;
  }
  return winding != 0 ? Side::kIn : Side::kOut;
}

// What selection should say of a curve given by its samples: whether it meets the
// polygon and whether it lies inside; nothing when a sample is too near the boundary to
// tell. The margin must exceed the gap between samples, so that a curve slipping across
// the boundary between two samples leaves one of them near it.
struct Expected {
  bool decided = false;
  bool meets = false;
  bool inside = false;
};

Expected expectedFor(const std::vector<PlanPoint>& samples, const PlanPolygon& polygon,
                     double margin) {
  bool anyIn = false, anyOut = false, anyNear = false;
  for (const PlanPoint& p : samples) {
    switch (sideOf(p, polygon, margin)) {
      case Side::kIn:
        anyIn = true;
        break;
      case Side::kOut:
        anyOut = true;
        break;
      case Side::kNear:
        anyNear = true;
        break;
    }
  }
  Expected expected;
  // Crossing is decided by a sample clearly in, or by all clearly out; inside by a
  // sample clearly out, or by all clearly in.
  if (anyNear && !anyIn) return expected;
  if (anyNear && !anyOut) return expected;
  expected.decided = true;
  expected.meets = anyIn;
  expected.inside = !anyOut;
  return expected;
}

std::vector<PlanPoint> samplesOf(const AcDbCurve& curve, int count) {
  double from = 0, to = 0;
  curve.getStartParam(from);
  curve.getEndParam(to);
  std::vector<PlanPoint> samples;
  for (int i = 0; i <= count; ++i) {
    AcGePoint3d p;
    curve.getPointAtParam(from + (to - from) * i / count, p);
    samples.push_back(PlanPoint{p.x, p.y});
  }
  return samples;
}

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
  Outline arcOutline = tabrik::acad::outlineOf(&arc);
  Outline circleOutline = tabrik::acad::outlineOf(&circle);
  EXPECT_TRUE(tabrik::acad::outlineMeetsPolygon(arcOutline, nearEast));
  EXPECT_TRUE(tabrik::acad::outlineMeetsPolygon(arcOutline, nearNortheast));
  EXPECT_FALSE(tabrik::acad::outlineMeetsPolygon(arcOutline, nearWest));
  EXPECT_TRUE(tabrik::acad::outlineMeetsPolygon(circleOutline, nearWest));
  // A window inside a circle does not cross it.
  EXPECT_FALSE(tabrik::acad::outlineMeetsPolygon(circleOutline, atTheCentre));
}

TEST(SelectionGeometryTest, CirclesMeetWindowsAsTheirClosedFormSays) {
  // A circle meets a window when the window's nearest point is no farther than the
  // radius from the centre and its farthest corner no nearer. The windows are small
  // and lie along the rim, most of them between where chords would join.
  const PlanPoint centre{3, -2};
  const double radius = 100;
  AcDbCircle circle(AcGePoint3d(centre.x, centre.y, 0), AcGeVector3d(0, 0, 1), radius);
  Outline outline = tabrik::acad::outlineOf(&circle);
  int checked = 0, meeting = 0;
  for (int k = 0; k < 720; ++k) {
    double angle = k * 0.00873 + 0.0011;
    for (double offset : {-0.02, -0.004, -0.0007, 0.0, 0.0007, 0.004, 0.02}) {
      double half = 0.001 + 0.0005 * (k % 7);
      double cx = centre.x + (radius + offset) * std::cos(angle);
      double cy = centre.y + (radius + offset) * std::sin(angle);
      double x0 = cx - half, x1 = cx + half, y0 = cy - half, y1 = cy + half;
      double nearX = std::clamp(centre.x, x0, x1), nearY = std::clamp(centre.y, y0, y1);
      double nearest = std::hypot(nearX - centre.x, nearY - centre.y);
      double farthest = std::hypot(std::max(std::fabs(x0 - centre.x), std::fabs(x1 - centre.x)),
                                   std::max(std::fabs(y0 - centre.y), std::fabs(y1 - centre.y)));
      if (std::fabs(nearest - radius) < 1e-7 || std::fabs(farthest - radius) < 1e-7) continue;
      bool meets = nearest <= radius && radius <= farthest;
      SCOPED_TRACE("window at angle " + std::to_string(angle) + ", offset " +
                   std::to_string(offset));
      ASSERT_EQ(tabrik::acad::outlineMeetsPolygon(outline, box(x0, y0, x1, y1)), meets);
      EXPECT_FALSE(tabrik::acad::outlineIsInside(outline, box(x0, y0, x1, y1)));
      ++checked;
      meeting += meets;
    }
  }
  // Both answers occur often: the table is no run of one answer.
  EXPECT_GT(checked, 4000);
  EXPECT_GT(meeting, 1000);
  EXPECT_GT(checked - meeting, 1000);
}

TEST(SelectionGeometryTest, ArcsAgainstWindowsAndTheVNotch) {
  // Arcs about +Z and -Z (which runs clockwise seen from above), a tilted one (an
  // ellipse in plan), and windows on a grid around them; expected answers come from
  // dense samples of the curve itself.
  struct Case {
    const char* name;
    AcDbArc arc;
  };
  const Case cases[] = {
      {"counter-clockwise", AcDbArc(AcGePoint3d(1, 1, 0), AcGeVector3d(0, 0, 1), 5, 0.3, 2.5)},
      {"about -Z", AcDbArc(AcGePoint3d(1, 1, 0), AcGeVector3d(0, 0, -1), 5, 0.3, 2.5)},
      {"across zero", AcDbArc(AcGePoint3d(1, 1, 0), AcGeVector3d(0, 0, 1), 5, 5.9, 0.7)},
      {"tilted", AcDbArc(AcGePoint3d(1, 1, 0), AcGeVector3d(0.6, 0, 0.8), 5, 0.3, 4.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outline outline = tabrik::acad::outlineOf(const_cast<AcDbArc*>(&c.arc));
    // Samples under 0.006 apart; the tilted arc is drawn as chords, which stray from it
    // by up to 0.0015.
    std::vector<PlanPoint> samples = samplesOf(c.arc, 4000);
    double margin = 0.01;
    int decided = 0, meeting = 0;
    for (double x = -5.2; x < 7; x += 0.37) {
      for (double y = -5.1; y < 7; y += 0.41) {
        PlanPolygon window = box(x, y, x + 0.3, y + 0.9);
        Expected expected = expectedFor(samples, window, margin);
        if (!expected.decided) continue;
        SCOPED_TRACE("window at " + std::to_string(x) + "," + std::to_string(y));
        ASSERT_EQ(tabrik::acad::outlineMeetsPolygon(outline, window), expected.meets);
        ++decided;
        meeting += expected.meets;
      }
    }
    EXPECT_GT(decided, 800);
    EXPECT_GT(meeting, 10);
    Expected inV = expectedFor(samples, kV, margin);
    ASSERT_TRUE(inV.decided);
    EXPECT_EQ(tabrik::acad::outlineMeetsPolygon(outline, kV), inV.meets);
    EXPECT_EQ(tabrik::acad::outlineIsInside(outline, kV), inV.inside);
  }
}

TEST(SelectionGeometryTest, SegmentsInsideTheVNotchPolygon) {
  // Pieces that touch the boundary only at corners on their way out are outside.
  const struct {
    const char* name;
    PlanSegment s;
    bool inside, meets;
  } cases[] = {
      {"over the notch's mouth", {{3, 10}, {10, 10}}, false, true},
      {"the mouth exactly", {{4, 10}, {6, 10}}, false, true},
      {"through the tip", {{2, 2}, {8, 8}}, true, true},
      {"along a side of the notch", {{4, 10}, {5, 5}}, true, true},
      {"across the notch", {{2, 8}, {8, 8}}, false, true},
      {"below the tip", {{1, 4}, {9, 4}}, true, true},
      {"in the notch", {{4.9, 9}, {5.1, 9}}, false, false},
      {"a point inside", {{1, 1}, {1, 1}}, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tabrik::acad::outlineIsInside(Outline({c.s}), kV), c.inside);
    EXPECT_EQ(tabrik::acad::outlineMeetsPolygon(Outline({c.s}), kV), c.meets);
  }
  // And segments across the whole square, against samples of each.
  int decided = 0, inside = 0;
  for (int i = 0; i < 40; ++i) {
    for (int j = 0; j < 40; ++j) {
      PlanSegment s{{0.5 + 0.23 * i, 0.7 + 0.11 * j}, {9.6 - 0.19 * j, 9.3 - 0.07 * i}};
      std::vector<PlanPoint> samples;
      for (int k = 0; k <= 1000; ++k) {
        double u = k / 1000.0;
        samples.push_back({s.a.x + (s.b.x - s.a.x) * u, s.a.y + (s.b.y - s.a.y) * u});
      }
      // Samples at most 0.013 apart.
      Expected expected = expectedFor(samples, kV, 0.02);
      if (!expected.decided) continue;
      SCOPED_TRACE(std::to_string(i) + "," + std::to_string(j));
      ASSERT_EQ(tabrik::acad::outlineIsInside(Outline({s}), kV), expected.inside);
      ASSERT_EQ(tabrik::acad::outlineMeetsPolygon(Outline({s}), kV), expected.meets);
      ++decided;
      inside += expected.inside;
    }
  }
  EXPECT_GT(decided, 1000);
  EXPECT_GT(inside, 100);
  EXPECT_GT(decided - inside, 100);
}
