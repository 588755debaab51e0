// Segments and arcs, the AcDbCurve queries on built-in curves, and intersections.
#include "acdb/objects/DatabaseInternal.h"
#include "acdb/entities/CurveGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dbcurve.h"
#include "dbents.h"
#include "dblead.h"
#include "dbpl.h"

namespace tabrik::acad {

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kEps = 1e-9;

void planeAxes(const AcGeVector3d& normal, AcGeVector3d& x, AcGeVector3d& y) {
  AcGeMatrix3d m = AcGeMatrix3d::planeToWorld(normal);
  x = {m.entry[0][0], m.entry[1][0], m.entry[2][0]};
  y = {m.entry[0][1], m.entry[1][1], m.entry[2][1]};
}

double normalizeAngle(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}
}  // namespace

Segment Segment::line(const AcGePoint3d& a, const AcGePoint3d& b) {
  Segment s;
  s.start = a, s.end = b;
  return s;
}

Segment Segment::arc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                     double startAngle, double sweep) {
  Segment s;
  s.isArc = true;
  s.center = center;
  s.radius = radius;
  s.normal = normal.normal();
  planeAxes(s.normal, s.xAxis, s.yAxis);
  s.startAngle = startAngle;
  s.sweep = sweep;
  return s;
}

Segment Segment::bulged(const AcGePoint3d& a, const AcGePoint3d& b, double bulge,
                        const AcGeVector3d& normal) {
  double chord = a.distanceTo(b);
  if (bulge == 0.0 || chord <= kEps) return line(a, b);
  double included = 4 * std::atan(bulge);
  double radius = chord / (2 * std::sin(std::fabs(included) / 2));
  AcGeVector3d n = normal.normal();
  AcGeVector3d along = (b - a) / chord;
  AcGeVector3d left = n.crossProduct(along);
  // The centre lies on the chord's bisector, (c/2)(1 - b^2)/(2b) to the left of the
  // direction of travel (negative: to the right).
  AcGePoint3d mid = a + (b - a) * 0.5;
  AcGePoint3d center = mid + left * (chord / 2 * (1 - bulge * bulge) / (2 * bulge));
  Segment s = arc(center, radius, n, 0.0, included);
  AcGeVector3d ra = a - center;
  s.startAngle = std::atan2(ra.dotProduct(s.yAxis), ra.dotProduct(s.xAxis));
  return s;
}

double Segment::length() const { return isArc ? radius * std::fabs(sweep) : start.distanceTo(end); }

AcGePoint3d Segment::pointAt(double t) const {
  if (!isArc) return start + (end - start) * t;
  double a = startAngle + sweep * t;
  return center + xAxis * (radius * std::cos(a)) + yAxis * (radius * std::sin(a));
}

AcGeVector3d Segment::derivAt(double t) const {
  if (!isArc) return end - start;
  double a = startAngle + sweep * t;
  return (xAxis * (-radius * std::sin(a)) + yAxis * (radius * std::cos(a))) * sweep;
}

double Segment::closestT(const AcGePoint3d& p, bool extend) const {
  if (!isArc) {
    AcGeVector3d d = end - start;
    double len2 = d.lengthSqrd();
    if (len2 == 0) return 0;
    double t = (p - start).dotProduct(d) / len2;
    return extend ? t : std::clamp(t, 0.0, 1.0);
  }
  AcGeVector3d v = p - center;
  double x = v.dotProduct(xAxis), y = v.dotProduct(yAxis);
  if (x == 0 && y == 0) return 0;
  double a = std::atan2(y, x);
  // Angle offset from the start in the direction of the sweep.
  double off = sweep >= 0 ? normalizeAngle(a - startAngle) : normalizeAngle(startAngle - a);
  double span = std::fabs(sweep);
  if (span <= 0) return 0;
  if (off <= span + kEps) return std::min(off / span, 1.0);
  if (extend) return off / span;
  // Past the end: the nearer of the two ends.
  return pointAt(0).distanceTo(p) <= pointAt(1).distanceTo(p) ? 0.0 : 1.0;
}

void Segment::transformBy(const AcGeMatrix3d& m) {
  if (!isArc) {
    start.transformBy(m);
    end.transformBy(m);
    return;
  }
  // The start stays the start; a mirroring transform reverses the turning sense.
  AcGePoint3d s = pointAt(0);
  AcGeVector3d n = normal;
  n.transformBy(m);
  AcGePoint3d c = center;
  c.transformBy(m);
  double turned = m.det() < 0 ? -sweep : sweep;
  *this = arc(c, radius * m.scale(), n.normal(), 0.0, turned);
  s.transformBy(m);
  AcGeVector3d r = s - center;
  startAngle = std::atan2(r.dotProduct(yAxis), r.dotProduct(xAxis));
}

// --- models of the built-in curves ----------------------------------------------------------

bool curveModel(const AcDbEntity* entity, CurveModel& model) {
  model = {};
  if (auto* line = AcDbLine::cast(entity)) {
    model.segments.push_back(Segment::line(line->startPoint(), line->endPoint()));
    model.kind = ParamKind::kLength;
    return true;
  }
  if (auto* circle = AcDbCircle::cast(entity)) {
    model.segments.push_back(
        Segment::arc(circle->center(), circle->radius(), circle->normal(), 0.0, kTwoPi));
    model.kind = ParamKind::kAngle;
    model.closed = true;
    return true;
  }
  if (auto* arc = AcDbArc::cast(entity)) {
    model.segments.push_back(Segment::arc(arc->center(), arc->radius(), arc->normal(),
                                          arc->startAngle(), arc->totalAngle()));
    model.kind = ParamKind::kAngle;
    model.startParam = arc->startAngle();
    return true;
  }
  if (auto* pline = AcDbPolyline::cast(entity)) {
    unsigned n = pline->numVerts();
    AcGeMatrix3d toWorld = AcGeMatrix3d::planeToWorld(pline->normal());
    auto vertex = [&](unsigned i) {
      AcGePoint2d p;
      pline->getPointAt(i, p);
      return toWorld * AcGePoint3d(p.x, p.y, pline->elevation());
    };
    unsigned count = pline->isClosed() ? n : (n > 0 ? n - 1 : 0);
    for (unsigned i = 0; i < count; ++i) {
      double bulge = 0;
      pline->getBulgeAt(i, bulge);
      model.segments.push_back(
          Segment::bulged(vertex(i), vertex((i + 1) % n), bulge, pline->normal()));
    }
    if (n == 1) model.segments.push_back(Segment::line(vertex(0), vertex(0)));
    model.closed = pline->isClosed();
    return n > 0;
  }
  if (auto* poly = AcDb2dPolyline::cast(entity)) {
    AcGePoint3dArray points = poly->shownVertices();
    int n = points.length();
    int count = poly->isClosed() ? n : n - 1;
    for (int i = 0; i < count; ++i)
      model.segments.push_back(Segment::line(points[i], points[(i + 1) % n]));
    model.closed = poly->isClosed();
    return count > 0;
  }
  if (auto* leader = AcDbLeader::cast(entity)) {
    for (int i = 0; i + 1 < leader->numVertices(); ++i)
      model.segments.push_back(Segment::line(leader->vertexAt(i), leader->vertexAt(i + 1)));
    return !model.segments.empty();
  }
  if (auto* face = AcDbFace::cast(entity)) {
    AcGePoint3d p[4];
    for (Adesk::UInt16 i = 0; i < 4; ++i) face->getVertexAt(i, p[i]);
    for (int i = 0; i < 4; ++i)
      if (!p[i].isEqualTo(p[(i + 1) % 4]))
        model.segments.push_back(Segment::line(p[i], p[(i + 1) % 4]));
    model.closed = true;
    return !model.segments.empty();
  }
  return false;
}

namespace {

double paramSpan(const CurveModel& m) {
  switch (m.kind) {
    case ParamKind::kLength:
      return m.segments[0].length();
    case ParamKind::kAngle:
      return std::fabs(m.segments[0].sweep);
    case ParamKind::kIndex:
      return static_cast<double>(m.segments.size());
  }
  return 0;
}

// Segment index and t of a parameter; false outside the curve.
bool locate(const CurveModel& m, double param, size_t& index, double& t) {
  double span = paramSpan(m);
  double p = param - m.startParam;
  if (p < -kEps * std::max(1.0, span) || p > span + kEps * std::max(1.0, span)) return false;
  p = std::clamp(p, 0.0, span);
  if (m.kind != ParamKind::kIndex) {
    index = 0;
    t = span > 0 ? p / span : 0;
    return true;
  }
  index = std::min(static_cast<size_t>(p), m.segments.size() - 1);
  t = p - static_cast<double>(index);
  return true;
}

double paramOf(const CurveModel& m, size_t index, double t) {
  if (m.kind != ParamKind::kIndex) return m.startParam + t * paramSpan(m);
  return static_cast<double>(index) + t;
}

double distOf(const CurveModel& m, size_t index, double t) {
  double d = 0;
  for (size_t i = 0; i < index; ++i) d += m.segments[i].length();
  return d + t * m.segments[index].length();
}

// The closest point over all segments; the first and last segments extend when asked.
void closest(const CurveModel& m, const AcGePoint3d& p, bool extend, size_t& bestIndex,
             double& bestT) {
  double best = -1;
  for (size_t i = 0; i < m.segments.size(); ++i) {
    bool ext = extend && !m.closed && m.segments.size() == 1;
    double t = m.segments[i].closestT(p, ext);
    double d = m.segments[i].pointAt(t).distanceTo(p);
    if (best < 0 || d < best - kEps) best = d, bestIndex = i, bestT = t;
  }
}

}  // namespace

}  // namespace tabrik::acad

using namespace tabrik::acad;

AcDbCurve::AcDbCurve() = default;
AcDbCurve::~AcDbCurve() = default;

Acad::ErrorStatus AcDbCurve::getStartParam(double& param) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  param = m.startParam;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getEndParam(double& param) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  param = m.startParam + paramSpan(m);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getStartPoint(AcGePoint3d& point) const {
  double p = 0;
  Acad::ErrorStatus status = getStartParam(p);
  return status == Acad::eOk ? getPointAtParam(p, point) : status;
}

Acad::ErrorStatus AcDbCurve::getEndPoint(AcGePoint3d& point) const {
  double p = 0;
  Acad::ErrorStatus status = getEndParam(p);
  return status == Acad::eOk ? getPointAtParam(p, point) : status;
}

Acad::ErrorStatus AcDbCurve::getPointAtParam(double param, AcGePoint3d& point) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  size_t i = 0;
  double t = 0;
  if (!locate(m, param, i, t)) return Acad::eInvalidInput;
  point = m.segments[i].pointAt(t);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  size_t i = 0;
  double t = 0;
  closest(m, point, false, i, t);
  if (m.segments[i].pointAt(t).distanceTo(point) > 1e-8 * std::max(1.0, paramSpan(m)))
    return Acad::eInvalidInput;
  param = paramOf(m, i, t);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getDistAtParam(double param, double& dist) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  size_t i = 0;
  double t = 0;
  if (!locate(m, param, i, t)) return Acad::eInvalidInput;
  dist = distOf(m, i, t);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getParamAtDist(double dist, double& param) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  double total = 0;
  for (const Segment& s : m.segments) total += s.length();
  if (dist < -kEps || dist > total * (1 + kEps) + kEps) return Acad::eInvalidInput;
  double left = std::clamp(dist, 0.0, total);
  for (size_t i = 0; i < m.segments.size(); ++i) {
    double len = m.segments[i].length();
    if (left <= len || i + 1 == m.segments.size()) {
      param = paramOf(m, i, len > 0 ? std::min(left / len, 1.0) : 0.0);
      return Acad::eOk;
    }
    left -= len;
  }
  return Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbCurve::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
  double param = 0;
  Acad::ErrorStatus status = getParamAtPoint(point, param);
  return status == Acad::eOk ? getDistAtParam(param, dist) : status;
}

Acad::ErrorStatus AcDbCurve::getPointAtDist(double dist, AcGePoint3d& point) const {
  double param = 0;
  Acad::ErrorStatus status = getParamAtDist(dist, param);
  return status == Acad::eOk ? getPointAtParam(param, point) : status;
}

Acad::ErrorStatus AcDbCurve::getFirstDeriv(double param, AcGeVector3d& deriv) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  size_t i = 0;
  double t = 0;
  if (!locate(m, param, i, t)) return Acad::eInvalidInput;
  double dtdp = m.kind == ParamKind::kIndex ? 1.0 : (paramSpan(m) > 0 ? 1.0 / paramSpan(m) : 0.0);
  deriv = m.segments[i].derivAt(t) * dtdp;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getFirstDeriv(const AcGePoint3d& point, AcGeVector3d& deriv) const {
  double param = 0;
  Acad::ErrorStatus status = getParamAtPoint(point, param);
  return status == Acad::eOk ? getFirstDeriv(param, deriv) : status;
}

Acad::ErrorStatus AcDbCurve::getClosestPointTo(const AcGePoint3d& given, AcGePoint3d& onCurve,
                                               bool extend) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  size_t i = 0;
  double t = 0;
  closest(m, given, extend, i, t);
  onCurve = m.segments[i].pointAt(t);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getClosestPointTo(const AcGePoint3d& given,
                                               const AcGeVector3d& direction, AcGePoint3d& onCurve,
                                               bool extend) const {
  if (direction.isZeroLength()) return Acad::eInvalidInput;
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  AcGePlane plane(AcGePoint3d::kOrigin, direction);
  AcGePoint3d target = given.orthoProject(plane);
  double best = -1;
  for (const Segment& s : m.segments) {
    bool ext = extend && !m.closed && m.segments.size() == 1;
    double t = 0;
    if (!s.isArc || s.normal.isParallelTo(direction)) {
      // Projection along the direction keeps t for lines and for arcs in a plane
      // perpendicular to it.
      Segment projected = s;
      if (!s.isArc) {
        projected = Segment::line(s.start.orthoProject(plane), s.end.orthoProject(plane));
      } else {
        projected.center = s.center.orthoProject(plane);
      }
      t = projected.closestT(target, ext);
    } else {
      // An arc seen at a slant: search its parameter.
      const int kSteps = 720;
      double bestT = 0, bestD = -1;
      for (int k = 0; k <= kSteps; ++k) {
        double tt = double(k) / kSteps;
        double d = s.pointAt(tt).orthoProject(plane).distanceTo(target);
        if (bestD < 0 || d < bestD) bestD = d, bestT = tt;
      }
      double lo = std::max(0.0, bestT - 1.0 / kSteps), hi = std::min(1.0, bestT + 1.0 / kSteps);
      for (int k = 0; k < 60; ++k) {
        double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
        if (s.pointAt(a).orthoProject(plane).distanceTo(target) <
            s.pointAt(b).orthoProject(plane).distanceTo(target))
          hi = b;
        else
          lo = a;
      }
      t = (lo + hi) / 2;
    }
    AcGePoint3d p = s.pointAt(t);
    double d = p.orthoProject(plane).distanceTo(target);
    if (best < 0 || d < best - kEps) best = d, onCurve = p;
  }
  return Acad::eOk;
}

// Extents of any entity with a chain: segment ends, and each arc's extreme points
// along the world axes that fall within its sweep.
Acad::ErrorStatus AcDbEntity::subGetGeomExtents(AcDbExtents& extents) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eInvalidExtents;
  for (const Segment& s : m.segments) {
    extents.addPoint(s.startPoint());
    extents.addPoint(s.endPoint());
    if (!s.isArc) continue;
    for (int k = 0; k < 3; ++k) {
      double base = std::atan2(s.yAxis[k], s.xAxis[k]);
      for (double a : {base, base + std::numbers::pi}) {
        double off = (a - s.startAngle) * (s.sweep >= 0 ? 1 : -1);
        off = std::fmod(off, kTwoPi);
        if (off < 0) off += kTwoPi;
        if (off <= std::fabs(s.sweep)) extents.addPoint(s.pointAt(off / std::fabs(s.sweep)));
      }
    }
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCurve::getArea(double& area) const {
  CurveModel m;
  if (!curveModel(this, m)) return Acad::eNotImplementedYet;
  // Shoelace over the chain in its plane, plus each arc's segment between chord and arc.
  AcGeVector3d n = m.segments[0].isArc ? m.segments[0].normal : AcGeVector3d::kZAxis;
  AcGeVector3d x, y;
  planeAxes(n, x, y);
  double sum = 0;
  for (const Segment& s : m.segments) {
    AcGePoint3d a = s.startPoint(), b = s.endPoint();
    double ax = a.asVector().dotProduct(x), ay = a.asVector().dotProduct(y);
    double bx = b.asVector().dotProduct(x), by = b.asVector().dotProduct(y);
    sum += ax * by - bx * ay;
    if (s.isArc) {
      double theta = std::fabs(s.sweep);
      double segmentArea = 0.5 * s.radius * s.radius * (theta - std::sin(theta));
      sum +=
          2 * (s.sweep * (s.normal.dotProduct(n) >= 0 ? 1 : -1) >= 0 ? segmentArea : -segmentArea);
    }
  }
  area = std::fabs(sum) / 2;
  return Acad::eOk;
}
