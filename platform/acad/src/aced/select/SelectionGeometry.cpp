// Outlines of entities and the polygon tests of window, polygon and fence selection.
#include "aced/select/SelectionGeometry.h"

#include <algorithm>
#include <cmath>

#include "dbmain.h"
#include "tabrik/GiRecorder.h"

namespace tabrik::acad {

namespace {

// Chords per full turn of a circle: fine enough that a chord strays from the curve
// by well under a thousandth of the radius.
constexpr int kChordsPerTurn = 128;

PlanPoint plan(const AcGePoint3d& p) { return PlanPoint{p.x, p.y}; }

void addChain(std::vector<PlanSegment>& outline, const std::vector<AcGePoint3d>& points,
              bool closed) {
  if (points.size() == 1) outline.push_back(PlanSegment{plan(points[0]), plan(points[0])});
  for (size_t i = 1; i < points.size(); ++i)
    outline.push_back(PlanSegment{plan(points[i - 1]), plan(points[i])});
  if (closed && points.size() > 2)
    outline.push_back(PlanSegment{plan(points.back()), plan(points.front())});
}

void addArc(std::vector<PlanSegment>& outline, const GiPrimitive& arc, bool full) {
  const AcGePoint3d& centre = arc.points.front();
  AcGeVector3d normal = arc.normal.isZeroLength() ? AcGeVector3d::kZAxis : arc.normal.normal();
  AcGeVector3d u = full ? normal.perpVector() : arc.startVector;
  if (u.isZeroLength()) u = normal.perpVector();
  u.normalize();
  AcGeVector3d v = normal.crossProduct(u);
  double sweep = full ? 2 * M_PI : arc.sweep;
  int steps =
      std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / (2 * M_PI) * kChordsPerTurn)));
  std::vector<AcGePoint3d> points;
  for (int i = 0; i <= steps; ++i) {
    double t = sweep * i / steps;
    AcGeVector3d offset = u * (arc.radius * std::cos(t)) + v * (arc.radius * std::sin(t));
    points.push_back(centre + offset);
  }
  addChain(outline, points, /*closed=*/false);
}

void addBox(std::vector<PlanSegment>& outline, const AcDbExtents& box) {
  AcGePoint3d lo = box.minPoint();
  AcGePoint3d hi = box.maxPoint();
  addChain(outline, {lo, AcGePoint3d(hi.x, lo.y, 0), hi, AcGePoint3d(lo.x, hi.y, 0)},
           /*closed=*/true);
}

double cross(const PlanPoint& o, const PlanPoint& a, const PlanPoint& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool onSegment(const PlanPoint& p, const PlanSegment& s) {
  return std::min(s.a.x, s.b.x) <= p.x && p.x <= std::max(s.a.x, s.b.x) &&
         std::min(s.a.y, s.b.y) <= p.y && p.y <= std::max(s.a.y, s.b.y) && cross(s.a, s.b, p) == 0;
}

int sign(double value) { return (value > 0) - (value < 0); }

std::vector<PlanSegment> edgesOf(const PlanPolygon& polygon) {
  std::vector<PlanSegment> edges;
  for (size_t i = 0; i < polygon.size(); ++i)
    edges.push_back(PlanSegment{polygon[i], polygon[(i + 1) % polygon.size()]});
  return edges;
}

// Whether the segment passes through the polygon's outside: it meets an edge at a
// point that is not one of its own ends lying on the boundary, or its middle is out.
bool leavesPolygon(const PlanSegment& s, const PlanPolygon& polygon,
                   const std::vector<PlanSegment>& edges) {
  PlanPoint middle{(s.a.x + s.b.x) / 2, (s.a.y + s.b.y) / 2};
  if (!isInsidePolygon(middle, polygon)) return true;
  for (const PlanSegment& edge : edges) {
    int d1 = sign(cross(edge.a, edge.b, s.a));
    int d2 = sign(cross(edge.a, edge.b, s.b));
    int d3 = sign(cross(s.a, s.b, edge.a));
    int d4 = sign(cross(s.a, s.b, edge.b));
    // A proper crossing of an edge goes out of the polygon.
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  }
  return false;
}

}  // namespace

std::vector<PlanSegment> outlineOf(AcDbEntity* entity) {
  std::vector<PlanSegment> outline;
  if (entity == nullptr) return outline;
  GiRecorder recorder;
  entity->worldDraw(&recorder);
  bool boxed = false;
  for (const GiPrimitive& primitive : recorder.primitives()) {
    switch (primitive.kind) {
      case GiPrimitive::kPolyline:
        addChain(outline, primitive.points, /*closed=*/false);
        break;
      case GiPrimitive::kPolygon:
        addChain(outline, primitive.points, /*closed=*/true);
        break;
      case GiPrimitive::kCircle:
        addArc(outline, primitive, /*full=*/true);
        break;
      case GiPrimitive::kArc:
        addArc(outline, primitive, /*full=*/false);
        break;
      case GiPrimitive::kText:
        boxed = true;
        break;
    }
  }
  if (boxed || outline.empty()) {
    AcDbExtents box;
    if (entity->getGeomExtents(box) == Acad::eOk && !box.isEmpty()) addBox(outline, box);
  }
  return outline;
}

bool isInsidePolygon(const PlanPoint& point, const PlanPolygon& polygon) {
  if (polygon.size() < 3) return false;
  bool inside = false;
  for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const PlanPoint& a = polygon[i];
    const PlanPoint& b = polygon[j];
    if (onSegment(point, PlanSegment{a, b})) return true;
    if ((a.y > point.y) != (b.y > point.y) &&
        point.x < (b.x - a.x) * (point.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
  }
  return inside;
}

bool segmentsMeet(const PlanSegment& s, const PlanSegment& t) {
  int d1 = sign(cross(t.a, t.b, s.a));
  int d2 = sign(cross(t.a, t.b, s.b));
  int d3 = sign(cross(s.a, s.b, t.a));
  int d4 = sign(cross(s.a, s.b, t.b));
  if (d1 * d2 < 0 && d3 * d4 < 0) return true;
  return (d1 == 0 && onSegment(s.a, t)) || (d2 == 0 && onSegment(s.b, t)) ||
         (d3 == 0 && onSegment(t.a, s)) || (d4 == 0 && onSegment(t.b, s));
}

bool outlineIsInside(const std::vector<PlanSegment>& outline, const PlanPolygon& polygon) {
  if (outline.empty() || polygon.size() < 3) return false;
  std::vector<PlanSegment> edges = edgesOf(polygon);
  for (const PlanSegment& s : outline) {
    if (!isInsidePolygon(s.a, polygon) || !isInsidePolygon(s.b, polygon)) return false;
    if (leavesPolygon(s, polygon, edges)) return false;
  }
  return true;
}

bool outlineMeetsPolygon(const std::vector<PlanSegment>& outline, const PlanPolygon& polygon) {
  if (outline.empty() || polygon.size() < 3) return false;
  std::vector<PlanSegment> edges = edgesOf(polygon);
  for (const PlanSegment& s : outline) {
    if (isInsidePolygon(s.a, polygon) || isInsidePolygon(s.b, polygon)) return true;
    for (const PlanSegment& edge : edges) {
      if (segmentsMeet(s, edge)) return true;
    }
  }
  return false;
}

bool outlineMeetsFence(const std::vector<PlanSegment>& outline,
                       const std::vector<PlanPoint>& fence) {
  for (size_t i = 1; i < fence.size(); ++i) {
    PlanSegment leg{fence[i - 1], fence[i]};
    for (const PlanSegment& s : outline) {
      if (segmentsMeet(s, leg)) return true;
    }
  }
  return false;
}

}  // namespace tabrik::acad
