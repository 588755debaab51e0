// Lines, circles and arcs.
#include <cmath>
#include <numbers>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbents.h"
#include "acdb/entities/CurveGeometry.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbCurve, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbLine, AcDbCurve)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbCircle, AcDbCurve)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbArc, AcDbCurve)

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;
const double kZero = 0.0;

double normalizeAngle(double a) {
  a = std::fmod(a, kTwoPi);
  return a < 0 ? a + kTwoPi : a;
}

// Points of a circle at quadrant angles 0, 90, 180 and 270 degrees of its OCS.
void quadrants(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
               AcGePoint3dArray& points) {
  Segment circle = Segment::arc(center, radius, normal, 0, kTwoPi);
  for (int i = 0; i < 4; ++i) points.append(circle.pointAt(i / 4.0));
}
}  // namespace

// --- line -----------------------------------------------------------------------------------

// LINE: 100 AcDbLine, 39 thickness (when not 0), 10 start, 11 end, 210 normal (when not Z).
void AcDbLine::visitFields(FieldVisitor& v) {
  v.marker(L"AcDbLine");
  v.real(39, m_thickness, &kZero);
  v.point(10, m_start);
  v.point(11, m_end);
  v.vector(210, m_normal, /*optionalZAxis=*/true);
}
TABRIK_FIELD_FILING(AcDbLine, AcDbCurve)

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& p) {
  assertWriteEnabled();
  m_start = p;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& p) {
  assertWriteEnabled();
  m_end = p;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::setThickness(double t) {
  assertWriteEnabled();
  m_thickness = t;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::setNormal(const AcGeVector3d& n) {
  if (n.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_normal = n.normal();
  return Acad::eOk;
}

Adesk::Boolean AcDbLine::subWorldDraw(AcGiWorldDraw* mode) {
  AcGePoint3d points[2] = {m_start, m_end};
  mode->geometry().polyline(2, points);
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbLine::subGetGeomExtents(AcDbExtents& extents) const {
  extents.addPoint(m_start);
  extents.addPoint(m_end);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::subTransformBy(const AcGeMatrix3d& m) {
  assertWriteEnabled();
  m_start.transformBy(m);
  m_end.transformBy(m);
  m_normal.transformBy(m);
  m_normal = m_normal.isZeroLength() ? AcGeVector3d::kZAxis : m_normal.normal();
  return Acad::eOk;
}

// Grips: start, middle (moves the whole line), end.
Acad::ErrorStatus AcDbLine::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                             AcDbIntArray&) const {
  points.append(m_start);
  points.append(m_start + (m_end - m_start) * 0.5);
  points.append(m_end);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::subMoveGripPointsAt(const AcDbIntArray& indices,
                                                const AcGeVector3d& offset) {
  assertWriteEnabled();
  bool moveStart = false, moveEnd = false;
  for (int i : indices) {
    if (i == 0) moveStart = true;
    if (i == 2) moveEnd = true;
    if (i == 1) moveStart = moveEnd = true;
  }
  if (moveStart) m_start += offset;
  if (moveEnd) m_end += offset;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::subGetStretchPoints(AcGePoint3dArray& points) const {
  points.append(m_start);
  points.append(m_end);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::subMoveStretchPointsAt(const AcDbIntArray& indices,
                                                   const AcGeVector3d& offset) {
  assertWriteEnabled();
  if (indices.contains(0)) m_start += offset;
  if (indices.contains(1)) m_end += offset;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t,
                                              const AcGePoint3d& pick, const AcGePoint3d&,
                                              const AcGeMatrix3d&, AcGePoint3dArray& points,
                                              AcDbIntArray&) const {
  switch (mode) {
    case AcDb::kOsModeEnd:
      points.append(m_start);
      points.append(m_end);
      break;
    case AcDb::kOsModeMid:
      points.append(m_start + (m_end - m_start) * 0.5);
      break;
    case AcDb::kOsModeNear: {
      AcGePoint3d onLine;
      getClosestPointTo(pick, onLine);
      points.append(onLine);
      break;
    }
    default:
      break;
  }
  return Acad::eOk;
}

// --- circle ------------------------------------------------------------------------------------

// CIRCLE: 100 AcDbCircle, 39 thickness, 10 centre (OCS), 40 radius, 210 normal.
void AcDbCircle::visitFields(FieldVisitor& v) {
  v.marker(L"AcDbCircle");
  v.real(39, m_thickness, &kZero);
  v.ocsPoint(10, m_center, &m_normal);
  v.real(40, m_radius);
  v.vector(210, m_normal, /*optionalZAxis=*/true);
}
TABRIK_FIELD_FILING(AcDbCircle, AcDbCurve)

Acad::ErrorStatus AcDbCircle::setCenter(const AcGePoint3d& c) {
  assertWriteEnabled();
  m_center = c;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::setRadius(double r) {
  if (!(r > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_radius = r;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::setNormal(const AcGeVector3d& n) {
  if (n.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_normal = n.normal();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbCircle::setThickness(double t) {
  assertWriteEnabled();
  m_thickness = t;
  return Acad::eOk;
}
double AcDbCircle::circumference() const { return kTwoPi * m_radius; }

Adesk::Boolean AcDbCircle::subWorldDraw(AcGiWorldDraw* mode) {
  mode->geometry().circle(m_center, m_radius, m_normal);
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbCircle::subTransformBy(const AcGeMatrix3d& m) {
  if (!m.isUniScaledOrtho()) return Acad::eCannotScaleNonUniformly;
  assertWriteEnabled();
  m_center.transformBy(m);
  m_radius *= m.scale();
  m_normal.transformBy(m);
  m_normal.normalize();
  return Acad::eOk;
}

// Grips: centre, then the quadrant points.
Acad::ErrorStatus AcDbCircle::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                               AcDbIntArray&) const {
  points.append(m_center);
  quadrants(m_center, m_radius, m_normal, points);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::subMoveGripPointsAt(const AcDbIntArray& indices,
                                                  const AcGeVector3d& offset) {
  if (indices.isEmpty()) return Acad::eOk;
  assertWriteEnabled();
  if (indices.contains(0)) {
    m_center += offset;
    return Acad::eOk;
  }
  AcGePoint3dArray grips;
  quadrants(m_center, m_radius, m_normal, grips);
  AcGePoint3d moved = grips[std::clamp(indices[0] - 1, 0, 3)] + offset;
  double r = moved.distanceTo(m_center);
  if (r > 0) m_radius = r;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t,
                                                const AcGePoint3d&, const AcGePoint3d&,
                                                const AcGeMatrix3d&, AcGePoint3dArray& points,
                                                AcDbIntArray&) const {
  if (mode == AcDb::kOsModeCen) points.append(m_center);
  if (mode == AcDb::kOsModeQuad) quadrants(m_center, m_radius, m_normal, points);
  return Acad::eOk;
}

// --- arc ---------------------------------------------------------------------------------------

AcDbArc::AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
    : m_center(center),
      m_radius(radius),
      m_startAngle(normalizeAngle(startAngle)),
      m_endAngle(normalizeAngle(endAngle)) {}

AcDbArc::AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius,
                 double startAngle, double endAngle)
    : m_center(center),
      m_normal(normal.normal()),
      m_radius(radius),
      m_startAngle(normalizeAngle(startAngle)),
      m_endAngle(normalizeAngle(endAngle)) {}

// ARC: the circle's part (100 AcDbCircle, 39, 10 OCS, 40, 210), then 100 AcDbArc, 50
// start and 51 end angle in degrees.
void AcDbArc::visitFields(FieldVisitor& v) {
  v.marker(L"AcDbCircle");
  v.real(39, m_thickness, &kZero);
  v.ocsPoint(10, m_center, &m_normal);
  v.real(40, m_radius);
  v.vector(210, m_normal, /*optionalZAxis=*/true);
  v.marker(L"AcDbArc");
  v.angle(50, m_startAngle);
  v.angle(51, m_endAngle);
}
TABRIK_FIELD_FILING(AcDbArc, AcDbCurve)

Acad::ErrorStatus AcDbArc::setCenter(const AcGePoint3d& c) {
  assertWriteEnabled();
  m_center = c;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::setRadius(double r) {
  if (!(r > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_radius = r;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::setNormal(const AcGeVector3d& n) {
  if (n.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_normal = n.normal();
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::setStartAngle(double a) {
  assertWriteEnabled();
  m_startAngle = normalizeAngle(a);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::setEndAngle(double a) {
  assertWriteEnabled();
  m_endAngle = normalizeAngle(a);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbArc::setThickness(double t) {
  assertWriteEnabled();
  m_thickness = t;
  return Acad::eOk;
}

double AcDbArc::totalAngle() const {
  double sweep = normalizeAngle(m_endAngle - m_startAngle);
  return sweep == 0 ? kTwoPi : sweep;
}

Adesk::Boolean AcDbArc::subWorldDraw(AcGiWorldDraw* mode) {
  Segment arc = Segment::arc(m_center, m_radius, m_normal, m_startAngle, totalAngle());
  mode->geometry().circularArc(m_center, m_radius, m_normal, arc.pointAt(0) - m_center,
                               totalAngle());
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbArc::subTransformBy(const AcGeMatrix3d& m) {
  if (!m.isUniScaledOrtho()) return Acad::eCannotScaleNonUniformly;
  Segment arc = Segment::arc(m_center, m_radius, m_normal, m_startAngle, totalAngle());
  arc.transformBy(m);
  assertWriteEnabled();
  m_center = arc.center;
  m_radius = arc.radius;
  m_normal = arc.normal;
  // The host's arc always turns counter-clockwise about its normal.
  double from = arc.sweep >= 0 ? arc.startAngle : arc.startAngle + arc.sweep;
  m_startAngle = normalizeAngle(from);
  m_endAngle = normalizeAngle(from + std::fabs(arc.sweep));
  return Acad::eOk;
}

// Grips: start, middle, end, centre.
Acad::ErrorStatus AcDbArc::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                            AcDbIntArray&) const {
  Segment arc = Segment::arc(m_center, m_radius, m_normal, m_startAngle, totalAngle());
  points.append(arc.pointAt(0));
  points.append(arc.pointAt(0.5));
  points.append(arc.pointAt(1));
  points.append(m_center);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t,
                                             const AcGePoint3d&, const AcGePoint3d&,
                                             const AcGeMatrix3d&, AcGePoint3dArray& points,
                                             AcDbIntArray&) const {
  Segment arc = Segment::arc(m_center, m_radius, m_normal, m_startAngle, totalAngle());
  switch (mode) {
    case AcDb::kOsModeEnd:
      points.append(arc.pointAt(0));
      points.append(arc.pointAt(1));
      break;
    case AcDb::kOsModeMid:
      points.append(arc.pointAt(0.5));
      break;
    case AcDb::kOsModeCen:
      points.append(m_center);
      break;
    default:
      break;
  }
  return Acad::eOk;
}
