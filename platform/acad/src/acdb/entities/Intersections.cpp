// intersectWith for the host's entities: both entities become chains of lines and arcs
// (CurveGeometry.h), which are intersected in a plane: the projection plane when one
// is given, else the plane of the geometry (the plane of an arc, or of two lines).
// Without a projection plane a crossing counts only where the two entities really
// meet in space.
#include <cmath>
#include <numbers>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/entities/CurveGeometry.h"

namespace tabrik::acad {

namespace {

constexpr double kEps = 1e-9;

struct Frame {
  AcGePoint3d origin;
  AcGeVector3d x, y, n;
  double u(const AcGePoint3d& p) const { return (p - origin).dotProduct(x); }
  double v(const AcGePoint3d& p) const { return (p - origin).dotProduct(y); }
};

Frame frameOf(const AcGePoint3d& origin, const AcGeVector3d& normal) {
  AcGeMatrix3d m = AcGeMatrix3d::planeToWorld(normal);
  return {origin,
          {m.entry[0][0], m.entry[1][0], m.entry[2][0]},
          {m.entry[0][1], m.entry[1][1], m.entry[2][1]},
          normal.normal()};
}

// A segment seen in the frame's plane.
struct Flat {
  bool isArc = false;
  double px = 0, py = 0, qx = 0, qy = 0;            // line
  double cx = 0, cy = 0, r = 0, a0 = 0, sweep = 0;  // arc
};

bool flatten(const Segment& s, const Frame& f, Flat& out) {
  out = {};
  if (!s.isArc) {
    out.px = f.u(s.start), out.py = f.v(s.start), out.qx = f.u(s.end), out.qy = f.v(s.end);
    return true;
  }
  // An arc seen at a slant is an ellipse; only arcs parallel to the plane intersect here.
  if (!s.normal.isParallelTo(f.n, AcGeTol())) return false;
  out.isArc = true;
  out.cx = f.u(s.center), out.cy = f.v(s.center), out.r = s.radius;
  AcGePoint3d start = s.pointAt(0);
  out.a0 = std::atan2(f.v(start) - out.cy, f.u(start) - out.cx);
  out.sweep = s.sweep * (s.normal.dotProduct(f.n) >= 0 ? 1 : -1);
  return true;
}

// t of an angle on a flat arc (may exceed 1 off the arc).
double arcT(const Flat& a, double angle) {
  double off = (angle - a.a0) * (a.sweep >= 0 ? 1 : -1);
  off = std::fmod(off, 2 * std::numbers::pi);
  if (off < 0) off += 2 * std::numbers::pi;
  if (off > std::fabs(a.sweep) + kEps && off > 2 * std::numbers::pi - kEps) off = 0;
  return std::fabs(a.sweep) > 0 ? off / std::fabs(a.sweep) : 0;
}

bool inRange(double t, bool extend) { return extend || (t >= -kEps && t <= 1 + kEps); }

struct Hit {
  double t1, t2;
};

void lineLine(const Flat& a, const Flat& b, std::vector<Hit>& hits) {
  double dx1 = a.qx - a.px, dy1 = a.qy - a.py, dx2 = b.qx - b.px, dy2 = b.qy - b.py;
  double den = dx1 * dy2 - dy1 * dx2;
  double scale = std::hypot(dx1, dy1) * std::hypot(dx2, dy2);
  if (scale == 0 || std::fabs(den) <= 1e-12 * scale) return;  // parallel or degenerate
  double ex = b.px - a.px, ey = b.py - a.py;
  hits.push_back({(ex * dy2 - ey * dx2) / den, (ex * dy1 - ey * dx1) / den});
}

// Points where the line through a meets the circle of c, as (t on a, angle on c).
void lineCircle(const Flat& a, const Flat& c, std::vector<std::pair<double, double>>& out) {
  double dx = a.qx - a.px, dy = a.qy - a.py;
  double fx = a.px - c.cx, fy = a.py - c.cy;
  double A = dx * dx + dy * dy, B = 2 * (fx * dx + fy * dy), C = fx * fx + fy * fy - c.r * c.r;
  if (A == 0) return;
  double disc = B * B - 4 * A * C;
  double tol = 1e-10 * std::max(1.0, B * B);
  if (disc < -tol) return;
  auto add = [&](double t) {
    double x = a.px + dx * t - c.cx, y = a.py + dy * t - c.cy;
    out.push_back({t, std::atan2(y, x)});
  };
  if (disc <= tol) {
    add(-B / (2 * A));
    return;
  }
  double root = std::sqrt(disc);
  add((-B - root) / (2 * A));
  add((-B + root) / (2 * A));
}

void circleCircle(const Flat& a, const Flat& b, std::vector<std::pair<double, double>>& out) {
  double dx = b.cx - a.cx, dy = b.cy - a.cy;
  double d = std::hypot(dx, dy);
  if (d == 0) return;  // concentric: no isolated crossings
  double tol = 1e-10 * std::max(1.0, a.r + b.r);
  if (d > a.r + b.r + tol || d < std::fabs(a.r - b.r) - tol) return;
  double along = (d * d + a.r * a.r - b.r * b.r) / (2 * d);
  double h2 = a.r * a.r - along * along;
  double h = h2 > 0 ? std::sqrt(h2) : 0;
  double mx = a.cx + dx * along / d, my = a.cy + dy * along / d;
  auto add = [&](double x, double y) {
    out.push_back({std::atan2(y - a.cy, x - a.cx), std::atan2(y - b.cy, x - b.cx)});
  };
  if (h <= tol) {
    add(mx, my);
    return;
  }
  add(mx - dy * h / d, my + dx * h / d);
  add(mx + dy * h / d, my - dx * h / d);
}

void intersectFlat(const Flat& a, const Flat& b, std::vector<Hit>& hits) {
  if (!a.isArc && !b.isArc) return lineLine(a, b, hits);
  std::vector<std::pair<double, double>> raw;
  if (!a.isArc) {
    lineCircle(a, b, raw);
    for (auto& [t, angle] : raw) hits.push_back({t, arcT(b, angle)});
  } else if (!b.isArc) {
    lineCircle(b, a, raw);
    for (auto& [t, angle] : raw) hits.push_back({arcT(a, angle), t});
  } else {
    circleCircle(a, b, raw);
    for (auto& [angle1, angle2] : raw) hits.push_back({arcT(a, angle1), arcT(b, angle2)});
  }
}

// The plane to intersect in when no projection plane is given.
Frame naturalFrame(const std::vector<Segment>& first, const std::vector<Segment>& second) {
  for (const auto* chain : {&first, &second})
    for (const Segment& s : *chain)
      if (s.isArc) return frameOf(s.center, s.normal);
  for (const Segment& a : first)
    for (const Segment& b : second) {
      AcGeVector3d n = (a.end - a.start).crossProduct(b.end - b.start);
      if (!n.isZeroLength()) return frameOf(a.start, n);
    }
  AcGePoint3d origin = first.empty() ? AcGePoint3d::kOrigin : first[0].start;
  return frameOf(origin, AcGeVector3d::kZAxis);
}

bool containsPoint(const AcGePoint3dArray& points, const AcGePoint3d& p) {
  for (const AcGePoint3d& q : points)
    if (q.distanceTo(p) <= 1e-9 * std::max(1.0, p.asVector().length())) return true;
  return false;
}

}  // namespace

void intersectChains(const std::vector<Segment>& first, bool extendFirst,
                     const std::vector<Segment>& second, bool extendSecond,
                     const AcGePlane* projection, AcGePoint3dArray& points) {
  Frame frame = projection ? frameOf(projection->pointOnPlane(), projection->normal())
                           : naturalFrame(first, second);
  bool ext1 = extendFirst && first.size() == 1;
  bool ext2 = extendSecond && second.size() == 1;
  for (const Segment& a : first) {
    Flat fa;
    if (!flatten(a, frame, fa)) continue;
    for (const Segment& b : second) {
      Flat fb;
      if (!flatten(b, frame, fb)) continue;
      std::vector<Hit> hits;
      intersectFlat(fa, fb, hits);
      for (const Hit& hit : hits) {
        if (!inRange(hit.t1, ext1) || !inRange(hit.t2, ext2)) continue;
        AcGePoint3d p = a.pointAt(hit.t1);
        if (projection == nullptr) {
          AcGePoint3d q = b.pointAt(hit.t2);
          if (p.distanceTo(q) > 1e-8 * std::max(1.0, p.asVector().length())) continue;
        }
        if (!containsPoint(points, p)) points.append(p);
      }
    }
  }
}

}  // namespace tabrik::acad

using namespace tabrik::acad;

Acad::ErrorStatus AcDbEntity::subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                               AcGePoint3dArray& points, std::intptr_t,
                                               std::intptr_t) const {
  if (other == nullptr) return Acad::eNullEntityPointer;
  CurveModel mine, theirs;
  if (!curveModel(this, mine)) return Acad::eNotImplementedYet;
  if (!curveModel(other, theirs)) {
    // The other entity may know how to intersect (a block reference, a custom entity):
    // ask it the other way round.
    AcDb::Intersect swapped = type == AcDb::kExtendThis  ? AcDb::kExtendArg
                              : type == AcDb::kExtendArg ? AcDb::kExtendThis
                                                         : type;
    return other->intersectWith(this, swapped, points);
  }
  bool extendThis = type == AcDb::kExtendThis || type == AcDb::kExtendBoth;
  bool extendArg = type == AcDb::kExtendArg || type == AcDb::kExtendBoth;
  intersectChains(mine.segments, extendThis && !mine.closed, theirs.segments,
                  extendArg && !theirs.closed, nullptr, points);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                               const AcGePlane& plane, AcGePoint3dArray& points,
                                               std::intptr_t, std::intptr_t) const {
  if (other == nullptr) return Acad::eNullEntityPointer;
  CurveModel mine, theirs;
  if (!curveModel(this, mine)) return Acad::eNotImplementedYet;
  if (!curveModel(other, theirs)) {
    AcDb::Intersect swapped = type == AcDb::kExtendThis  ? AcDb::kExtendArg
                              : type == AcDb::kExtendArg ? AcDb::kExtendThis
                                                         : type;
    Acad::ErrorStatus status = other->intersectWith(this, swapped, plane, points);
    return status;
  }
  bool extendThis = type == AcDb::kExtendThis || type == AcDb::kExtendBoth;
  bool extendArg = type == AcDb::kExtendArg || type == AcDb::kExtendBoth;
  intersectChains(mine.segments, extendThis && !mine.closed, theirs.segments,
                  extendArg && !theirs.closed, &plane, points);
  return Acad::eOk;
}
