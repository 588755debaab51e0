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

// Tilted arcs as chords: what the plan shows of them is an ellipse.
void addChords(std::vector<PlanSegment>& outline, const GiPrimitive& arc, bool full,
               const AcGeVector3d& normal) {
  const AcGePoint3d& centre = arc.points.front();
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

void addArc(Outline& outline, const GiPrimitive& arc, bool full) {
  AcGeVector3d normal = arc.normal.isZeroLength() ? AcGeVector3d::kZAxis : arc.normal.normal();
  if (std::fabs(normal.z) < 1 - 1e-12) {
    addChords(outline.segments, arc, full, normal);
    return;
  }
  PlanArc plan{PlanPoint{arc.points.front().x, arc.points.front().y}, arc.radius, 0.0, 2 * M_PI};
  if (!full && std::fabs(arc.sweep) < 2 * M_PI) {
    // Seen from above, an arc about -Z runs clockwise: the same arc counter-clockwise
    // starts at its other end.
    AcGeVector3d u = arc.startVector.isZeroLength() ? normal.perpVector() : arc.startVector;
    double turn = normal.z > 0 ? arc.sweep : -arc.sweep;
    double from = std::atan2(u.y, u.x);
    plan.start = turn >= 0 ? from : from + turn;
    plan.sweep = std::fabs(turn);
  }
  outline.arcs.push_back(plan);
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

PlanPoint pointOnSegment(const PlanSegment& s, double u) {
  return PlanPoint{s.a.x + (s.b.x - s.a.x) * u, s.a.y + (s.b.y - s.a.y) * u};
}

// The fraction along s of a point on its line.
double fractionAlong(const PlanSegment& s, const PlanPoint& p) {
  double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  double length2 = dx * dx + dy * dy;
  if (length2 == 0) return 0;
  return std::clamp(((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / length2, 0.0, 1.0);
}

// Where s meets the edge, as fractions along s: one point, or both ends of a shared
// stretch when they are collinear.
void cutsOfSegment(const PlanSegment& s, const PlanSegment& edge, std::vector<double>& cuts) {
  if (!segmentsMeet(s, edge)) return;
  double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  double ex = edge.b.x - edge.a.x, ey = edge.b.y - edge.a.y;
  double denominator = dx * ey - dy * ex;
  if (denominator == 0) {
    cuts.push_back(fractionAlong(s, edge.a));
    cuts.push_back(fractionAlong(s, edge.b));
    return;
  }
  double u = ((edge.a.x - s.a.x) * ey - (edge.a.y - s.a.y) * ex) / denominator;
  cuts.push_back(std::clamp(u, 0.0, 1.0));
}

// Whether every part of a piece between its cuts by the boundary lies inside: the
// piece's points at `at(fraction)`, its cuts in `cuts` (0 and 1 added here).
template <typename At>
bool partsInside(std::vector<double> cuts, const PlanPolygon& polygon, At at) {
  // The cuts lie on the boundary, which counts as inside; testing them again would only
  // let rounding put them a hair outside.
  if (!isInsidePolygon(at(0.0), polygon) || !isInsidePolygon(at(1.0), polygon)) return false;
  cuts.push_back(0);
  cuts.push_back(1);
  std::sort(cuts.begin(), cuts.end());
  for (size_t i = 1; i < cuts.size(); ++i) {
    if (cuts[i] - cuts[i - 1] <= 1e-12) continue;
    if (!isInsidePolygon(at((cuts[i - 1] + cuts[i]) / 2), polygon)) return false;
  }
  return true;
}

bool segmentInside(const PlanSegment& s, const std::vector<PlanSegment>& edges,
                   const PlanPolygon& polygon) {
  std::vector<double> cuts;
  for (const PlanSegment& edge : edges) cutsOfSegment(s, edge, cuts);
  return partsInside(std::move(cuts), polygon, [&](double u) { return pointOnSegment(s, u); });
}

bool arcInside(const PlanArc& arc, const std::vector<PlanSegment>& edges,
               const PlanPolygon& polygon) {
  std::vector<double> cuts;
  for (const PlanSegment& edge : edges) {
    std::vector<double> hits = arcMeetsSegment(arc, edge);
    cuts.insert(cuts.end(), hits.begin(), hits.end());
  }
  return partsInside(std::move(cuts), polygon, [&](double t) { return pointOnArc(arc, t); });
}

}  // namespace

Outline outlineOf(AcDbEntity* entity) {
  Outline outline;
  if (entity == nullptr) return outline;
  GiRecorder recorder;
  entity->worldDraw(&recorder);
  bool boxed = false;
  for (const GiPrimitive& primitive : recorder.primitives()) {
    switch (primitive.kind) {
      case GiPrimitive::kPolyline:
        addChain(outline.segments, primitive.points, /*closed=*/false);
        break;
      case GiPrimitive::kPolygon:
        addChain(outline.segments, primitive.points, /*closed=*/true);
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
    if (entity->getGeomExtents(box) == Acad::eOk && !box.isEmpty()) addBox(outline.segments, box);
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

PlanPoint pointOnArc(const PlanArc& arc, double t) {
  double angle = arc.start + arc.sweep * t;
  return PlanPoint{arc.centre.x + arc.radius * std::cos(angle),
                   arc.centre.y + arc.radius * std::sin(angle)};
}

std::vector<double> arcMeetsSegment(const PlanArc& arc, const PlanSegment& s) {
  std::vector<double> hits;
  if (arc.radius <= 0 || arc.sweep <= 0) return hits;
  // |a + u (b - a) - c| = r, u in [0, 1]; tangents within a hair of the radius count.
  double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  double fx = s.a.x - arc.centre.x, fy = s.a.y - arc.centre.y;
  double tolerance = 1e-9 * std::max(1.0, arc.radius);
  std::vector<double> along;
  double a = dx * dx + dy * dy;
  if (a == 0) {
    if (std::fabs(std::hypot(fx, fy) - arc.radius) <= tolerance) along.push_back(0);
  } else {
    double b = 2 * (fx * dx + fy * dy);
    double c = fx * fx + fy * fy - arc.radius * arc.radius;
    double discriminant = b * b - 4 * a * c;
    // The segment's closest approach to the centre decides a near tangent.
    double closest = std::fabs(fx * dy - fy * dx) / std::sqrt(a);
    if (discriminant < 0 && arc.radius - closest > -tolerance) discriminant = 0;
    if (discriminant >= 0) {
      double root = std::sqrt(discriminant);
      along.push_back((-b - root) / (2 * a));
      if (root > 0) along.push_back((-b + root) / (2 * a));
    }
  }
  double slack = tolerance / std::max(std::sqrt(a), tolerance);
  for (double u : along) {
    if (u < -slack || u > 1 + slack) continue;
    PlanPoint p = pointOnSegment(s, std::clamp(u, 0.0, 1.0));
    double turn = std::atan2(p.y - arc.centre.y, p.x - arc.centre.x) - arc.start;
    turn = std::fmod(turn, 2 * M_PI);
    if (turn < 0) turn += 2 * M_PI;
    double angleSlack = tolerance / arc.radius;
    if (turn <= arc.sweep + angleSlack) {
      hits.push_back(std::min(turn / arc.sweep, 1.0));
    } else if (2 * M_PI - turn <= angleSlack) {
      hits.push_back(0);  // just before the start
    }
  }
  return hits;
}

bool outlineIsInside(const Outline& outline, const PlanPolygon& polygon) {
  if (outline.empty() || polygon.size() < 3) return false;
  std::vector<PlanSegment> edges = edgesOf(polygon);
  for (const PlanSegment& s : outline.segments) {
    if (!segmentInside(s, edges, polygon)) return false;
  }
  for (const PlanArc& arc : outline.arcs) {
    if (!arcInside(arc, edges, polygon)) return false;
  }
  return true;
}

bool outlineMeetsPolygon(const Outline& outline, const PlanPolygon& polygon) {
  if (outline.empty() || polygon.size() < 3) return false;
  std::vector<PlanSegment> edges = edgesOf(polygon);
  for (const PlanSegment& s : outline.segments) {
    if (isInsidePolygon(s.a, polygon) || isInsidePolygon(s.b, polygon)) return true;
    for (const PlanSegment& edge : edges) {
      if (segmentsMeet(s, edge)) return true;
    }
  }
  // An arc that meets no edge lies wholly inside or wholly outside: its start tells.
  for (const PlanArc& arc : outline.arcs) {
    if (isInsidePolygon(pointOnArc(arc, 0), polygon)) return true;
    for (const PlanSegment& edge : edges) {
      if (!arcMeetsSegment(arc, edge).empty()) return true;
    }
  }
  return false;
}

bool outlineMeetsFence(const Outline& outline, const std::vector<PlanPoint>& fence) {
  for (size_t i = 1; i < fence.size(); ++i) {
    PlanSegment leg{fence[i - 1], fence[i]};
    for (const PlanSegment& s : outline.segments) {
      if (segmentsMeet(s, leg)) return true;
    }
    for (const PlanArc& arc : outline.arcs) {
      if (!arcMeetsSegment(arc, leg).empty()) return true;
    }
  }
  return false;
}

}  // namespace tabrik::acad
