// 2D polylines and their vertices: curve fitting, spline fitting, straightening.
#include <cmath>

#include "acdb/objects/ComplexEntity.h"
#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbents.h"
#include "acdb/entities/CurveGeometry.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDb2dVertex, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDb2dPolyline, AcDbCurve)

// Vertex flags (VERTEX group 70): 1 made by curve fitting, 8 made by spline fitting,
// 16 a spline frame control point. Polyline flags (POLYLINE 70): 1 closed, 2 curve
// fit, 4 spline fit.
namespace {
constexpr Adesk::Int16 kCurveFitVertex = 1, kSplineVertex = 8, kControlVertex = 16;
const double kZero = 0.0;
const Adesk::Int16 kZero16 = 0;
}  // namespace

struct AcDb2dPolyline::Complex : ComplexEntity {
  Complex() : ComplexEntity(AcDb2dVertex::desc()) {}
  // Vertices of a polyline that is in no database yet; they enter it with the polyline.
  std::vector<std::unique_ptr<AcDb2dVertex>> pending;
};

struct Polyline2dAccess {
  static AcDb2dPolyline::Complex* complex(const AcDb2dPolyline* p) { return p->m_complex.get(); }
};

namespace tabrik::acad {
ComplexEntity* polyline2dComplex(const AcDbEntity* entity) {
  auto* polyline = AcDb2dPolyline::cast(entity);
  return polyline ? Polyline2dAccess::complex(polyline) : nullptr;
}

void adoptPendingSubEntities(AcDbEntity* entity) {
  auto* polyline = AcDb2dPolyline::cast(entity);
  if (polyline == nullptr || polyline->database() == nullptr) return;
  auto* complex = Polyline2dAccess::complex(polyline);
  for (auto& vertex : complex->pending) polyline->appendVertex(vertex.release());
  complex->pending.clear();
}
}  // namespace tabrik::acad

// --- vertex --------------------------------------------------------------------------------

// VERTEX: 100 AcDbVertex, 100 AcDb2dVertex, 10 position (OCS of the polyline; stored
// in world here, as the polyline's normal is Z for the host's own 2D polylines), 40/41
// widths, 42 bulge, 70 flags.
void AcDb2dVertex::visitFields(FieldVisitor& v) {
  v.marker(L"AcDbVertex");
  v.marker(L"AcDb2dVertex");
  v.point(10, m_position);
  v.real(40, m_startWidth, &kZero);
  v.real(41, m_endWidth, &kZero);
  v.real(42, m_bulge, &kZero);
  v.int16(70, m_flags);
}
TABRIK_FIELD_FILING(AcDb2dVertex, AcDbEntity)

Acad::ErrorStatus AcDb2dVertex::setPosition(const AcGePoint3d& position) {
  assertWriteEnabled();
  m_position = position;
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dVertex::setBulge(double bulge) {
  assertWriteEnabled();
  m_bulge = bulge;
  return Acad::eOk;
}

AcDb::Vertex2dType AcDb2dVertex::vertexType() const {
  if (m_flags & kControlVertex) return AcDb::k2dSplineCtlVertex;
  if (m_flags & kSplineVertex) return AcDb::k2dSplineFitVertex;
  if (m_flags & kCurveFitVertex) return AcDb::k2dCurveFitVertex;
  return AcDb::k2dVertex;
}

// --- polyline -----------------------------------------------------------------------------

AcDb2dPolyline::AcDb2dPolyline() : m_complex(std::make_unique<Complex>()) {}

AcDb2dPolyline::AcDb2dPolyline(AcDb::Poly2dType type, const AcGePoint3dArray& vertices,
                               double elevation, bool closed)
    : m_complex(std::make_unique<Complex>()) {
  m_elevation = elevation;
  m_flags = closed ? 1 : 0;
  for (const AcGePoint3d& p : vertices)
    appendVertex(new AcDb2dVertex(AcGePoint3d(p.x, p.y, elevation)));
  if (type == AcDb::k2dFitCurvePoly) curveFit();
  if (type == AcDb::k2dQuadSplinePoly || type == AcDb::k2dCubicSplinePoly) splineFit();
}

AcDb2dPolyline::~AcDb2dPolyline() = default;

// POLYLINE: 100 AcDb2dPolyline, 66 1, 10 (0, 0, elevation), 70 flags, 75 curve type,
// 210 normal; then its VERTEXes and a SEQEND.
void AcDb2dPolyline::visitFields(FieldVisitor& v) {
  Adesk::Int16 follows = 1;
  AcGePoint3d elevationPoint(0, 0, m_elevation);
  v.marker(L"AcDb2dPolyline");
  v.int16(66, follows);
  v.point(10, elevationPoint);
  v.int16(70, m_flags);
  v.int16(75, m_curveType, &kZero16);
  v.vector(210, m_normal, /*optionalZAxis=*/true);
  m_elevation = elevationPoint.z;
}

Acad::ErrorStatus AcDb2dPolyline::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbCurve::dwgOutFields(filer);
  writeDwgFields(filer,
                 [this](FieldVisitor& v) { const_cast<AcDb2dPolyline*>(this)->visitFields(v); });
  filer->writeInt32(m_complex->m_subEntities.length());
  for (const AcDbObjectId& id : m_complex->m_subEntities) filer->writeHardOwnershipId(id);
  filer->writeHardOwnershipId(m_complex->m_sequenceEnd);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDb2dPolyline::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  readDwgFields(filer, [this](FieldVisitor& v) { visitFields(v); });
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  AcDbObjectIdArray ids;
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbHardOwnershipId id;
    filer->readHardOwnershipId(&id);
    ids.append(id);
  }
  AcDbHardOwnershipId end;
  filer->readHardOwnershipId(&end);
  // A copy keeps its source's vertex data, as pending vertices of its own.
  if (filer->filerType() == AcDb::kCopyFiler) {
    m_complex->pending.clear();
    for (const AcDbObjectId& id : ids) {
      if (!id.isValid() || id.isErased()) continue;
      auto* copy = AcDb2dVertex::cast(id.stub()->object->clone());
      if (copy != nullptr) m_complex->pending.emplace_back(copy);
    }
    return filer->filerStatus();
  }
  m_complex->m_subEntities = ids;
  m_complex->m_sequenceEnd = end;
  return filer->filerStatus();
}

Acad::ErrorStatus AcDb2dPolyline::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbCurve::dxfOutFields(filer);
  return writeDxfFields(
      filer, [this](FieldVisitor& v) { const_cast<AcDb2dPolyline*>(this)->visitFields(v); });
}

Acad::ErrorStatus AcDb2dPolyline::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::Int16 follows = 0;
  AcGePoint3d elevationPoint;
  status = readDxfFields(filer, [&](FieldVisitor& v) {
    v.marker(L"AcDb2dPolyline");
    v.int16(66, follows);
    v.point(10, elevationPoint);
    v.int16(70, m_flags);
    v.int16(75, m_curveType);
    v.vector(210, m_normal);
  });
  m_elevation = elevationPoint.z;
  return status;
}

AcDb::Poly2dType AcDb2dPolyline::polyType() const {
  if (m_flags & 4) return m_curveType == 5 ? AcDb::k2dQuadSplinePoly : AcDb::k2dCubicSplinePoly;
  if (m_flags & 2) return AcDb::k2dFitCurvePoly;
  return AcDb::k2dSimplePoly;
}

Acad::ErrorStatus AcDb2dPolyline::makeClosed() {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(m_flags | 1);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::makeOpen() {
  assertWriteEnabled();
  m_flags = static_cast<Adesk::Int16>(m_flags & ~1);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDb2dVertex* vertex) {
  AcDbObjectId id;
  return appendVertex(id, vertex);
}

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDbObjectId& id, AcDb2dVertex* vertex) {
  id.setNull();
  if (vertex == nullptr) return Acad::eNullObjectPointer;
  if (!vertex->objectId().isNull()) return Acad::eAlreadyInDb;
  AcDbDatabase* db = database();
  if (db == nullptr) {
    m_complex->pending.emplace_back(vertex);
    return Acad::eOk;
  }
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  assertWriteEnabled();
  Acad::ErrorStatus status = db->addAcDbObject(id, vertex);
  if (status != Acad::eOk) return status;
  ObjectState::setOwner(vertex, objectId());
  vertex->setPropertiesFrom(this);
  vertex->close();
  m_complex->m_subEntities.append(id);
  if (m_complex->m_sequenceEnd.isNull()) {
    auto* end = new AcDbSequenceEnd;
    AcDbObjectId endId;
    db->addAcDbObject(endId, end);
    ObjectState::setOwner(end, objectId());
    end->setPropertiesFrom(this);
    end->close();
    m_complex->m_sequenceEnd = endId;
  }
  return Acad::eOk;
}

AcDbObjectIterator* AcDb2dPolyline::vertexIterator() const {
  AcDbObjectIdArray live;
  for (const AcDbObjectId& id : m_complex->m_subEntities)
    if (!id.isErased()) live.append(id);
  return new AcDbObjectIterator(live);
}

std::vector<AcDb2dPolyline::Vertex> AcDb2dPolyline::vertices() const {
  std::vector<Vertex> result;
  auto add = [&](const AcDb2dVertex* v) {
    result.push_back({v->position(), v->bulge(), v->flags()});
  };
  if (database() == nullptr) {
    for (const auto& v : m_complex->pending) add(v.get());
    return result;
  }
  for (const AcDbObjectId& id : m_complex->m_subEntities)
    if (id.isValid() && !id.isErased()) add(AcDb2dVertex::cast(id.stub()->object));
  return result;
}

// Puts the vertex list in place: existing vertex objects are reused in order, extra
// ones erased, missing ones added.
Acad::ErrorStatus AcDb2dPolyline::replaceVertices(const std::vector<Vertex>& wanted) {
  assertWriteEnabled();
  auto apply = [](AcDb2dVertex* v, const Vertex& w) {
    bool wasWritable = ObjectState::writeOpen(v);
    ObjectState::writeOpen(v) = true;
    v->setPosition(w.position);
    v->setBulge(w.bulge);
    v->setVertexFlags(w.flags);
    ObjectState::writeOpen(v) = wasWritable;
  };
  if (database() == nullptr) {
    m_complex->pending.clear();
    for (const Vertex& w : wanted) {
      auto* v = new AcDb2dVertex(w.position, w.bulge);
      v->setVertexFlags(w.flags);
      m_complex->pending.emplace_back(v);
    }
    return Acad::eOk;
  }
  std::vector<AcDb2dVertex*> existing;
  for (const AcDbObjectId& id : m_complex->m_subEntities)
    if (id.isValid() && !id.isErased()) existing.push_back(AcDb2dVertex::cast(id.stub()->object));
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (i < existing.size()) {
      apply(existing[i], wanted[i]);
      continue;
    }
    auto* v = new AcDb2dVertex(wanted[i].position, wanted[i].bulge);
    v->setVertexFlags(wanted[i].flags);
    appendVertex(v);
  }
  for (size_t i = wanted.size(); i < existing.size(); ++i) {
    bool wasWritable = ObjectState::writeOpen(existing[i]);
    ObjectState::writeOpen(existing[i]) = true;
    existing[i]->erase();
    ObjectState::writeOpen(existing[i]) = wasWritable;
  }
  return Acad::eOk;
}

namespace {
// The bulge of the arc from a to b that passes through m (0 when they are collinear).
double bulgeThrough(const AcGePoint3d& a, const AcGePoint3d& m, const AcGePoint3d& b) {
  double ax = a.x - m.x, ay = a.y - m.y, bx = b.x - m.x, by = b.y - m.y;
  double cross = ax * by - ay * bx;
  if (std::fabs(cross) < 1e-12) return 0.0;
  // The inscribed angle at m is half the included angle of the arc a->b not holding m;
  // the arc through m has included angle 2(pi - angle at m).
  double angleAtM = std::atan2(std::fabs(cross), ax * bx + ay * by);
  double included = 2 * (3.141592653589793 - angleAtM);
  return std::tan(included / 4) * (cross > 0 ? -1 : 1);
}
}  // namespace

// Curve fitting: between each pair of the user's vertices a fit vertex on the smooth
// curve through them (the Catmull-Rom midpoint), each half an arc through the three.
Acad::ErrorStatus AcDb2dPolyline::curveFit() {
  std::vector<Vertex> base;
  for (const Vertex& v : vertices())
    if (!(v.flags & (kCurveFitVertex | kSplineVertex))) base.push_back({v.position, 0.0, 0});
  size_t n = base.size();
  if (n < 2) return Acad::eDegenerateGeometry;
  bool closed = isClosed();
  auto at = [&](long i) -> const AcGePoint3d& {
    if (closed) return base[static_cast<size_t>((i % long(n) + long(n)) % long(n))].position;
    return base[static_cast<size_t>(std::clamp<long>(i, 0, long(n) - 1))].position;
  };
  std::vector<Vertex> fitted;
  size_t segments = closed ? n : n - 1;
  for (size_t i = 0; i < n; ++i) {
    fitted.push_back({base[i].position, 0.0, 0});
    if (i >= segments) break;
    long k = static_cast<long>(i);
    const AcGePoint3d &p0 = at(k - 1), &p1 = at(k), &p2 = at(k + 1), &p3 = at(k + 2);
    AcGePoint3d mid(0.5625 * (p1.x + p2.x) - 0.0625 * (p0.x + p3.x),
                    0.5625 * (p1.y + p2.y) - 0.0625 * (p0.y + p3.y), p1.z);
    double bulge = bulgeThrough(p1, mid, p2);
    // Each half of the arc through p1, mid, p2 has a quarter of its included angle.
    double half = std::tan(std::atan(bulge) / 2);
    fitted.back().bulge = half;
    fitted.push_back({mid, half, kCurveFitVertex});
  }
  Acad::ErrorStatus status = replaceVertices(fitted);
  if (status != Acad::eOk) return status;
  m_flags = static_cast<Adesk::Int16>((m_flags & ~4) | 2);
  m_curveType = 0;
  return Acad::eOk;
}

// Spline fitting: the user's vertices become the frame (control points, hidden) of a
// cubic B-spline clamped at the ends; eight spline vertices per span are shown.
Acad::ErrorStatus AcDb2dPolyline::splineFit() {
  std::vector<AcGePoint3d> control;
  for (const Vertex& v : vertices())
    if (!(v.flags & (kCurveFitVertex | kSplineVertex))) control.push_back(v.position);
  if (control.size() < 3) return Acad::eDegenerateGeometry;
  std::vector<Vertex> result;
  for (const AcGePoint3d& p : control) result.push_back({p, 0.0, kControlVertex});
  // Clamped uniform cubic B-spline: repeat the end points so the curve starts and ends
  // at them.
  std::vector<AcGePoint3d> c;
  c.push_back(control.front());
  c.push_back(control.front());
  c.insert(c.end(), control.begin(), control.end());
  c.push_back(control.back());
  c.push_back(control.back());
  const int kPerSpan = 8;
  for (size_t i = 0; i + 3 < c.size(); ++i) {
    for (int s = 0; s < kPerSpan; ++s) {
      if (i > 0 && s == 0) continue;
      double t = double(s) / kPerSpan;
      double b0 = (1 - t) * (1 - t) * (1 - t) / 6, b1 = (3 * t * t * t - 6 * t * t + 4) / 6;
      double b2 = (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6, b3 = t * t * t / 6;
      AcGePoint3d p(b0 * c[i].x + b1 * c[i + 1].x + b2 * c[i + 2].x + b3 * c[i + 3].x,
                    b0 * c[i].y + b1 * c[i + 1].y + b2 * c[i + 2].y + b3 * c[i + 3].y,
                    control[0].z);
      result.push_back({p, 0.0, kSplineVertex});
    }
  }
  result.push_back({control.back(), 0.0, kSplineVertex});
  Acad::ErrorStatus status = replaceVertices(result);
  if (status != Acad::eOk) return status;
  m_flags = static_cast<Adesk::Int16>((m_flags & ~2) | 4);
  m_curveType = 6;
  return Acad::eOk;
}

// Straightening keeps only the user's vertices, with straight segments.
Acad::ErrorStatus AcDb2dPolyline::straighten() {
  std::vector<Vertex> base;
  for (const Vertex& v : vertices())
    if (!(v.flags & (kCurveFitVertex | kSplineVertex))) base.push_back({v.position, 0.0, 0});
  Acad::ErrorStatus status = replaceVertices(base);
  if (status != Acad::eOk) return status;
  m_flags = static_cast<Adesk::Int16>(m_flags & ~6);
  m_curveType = 0;
  return Acad::eOk;
}

AcGePoint3dArray AcDb2dPolyline::shownVertices() const {
  AcGePoint3dArray points;
  std::vector<Vertex> all = vertices();
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].flags & kControlVertex) continue;
    // An arc segment is shown by points along it.
    size_t next = i + 1;
    while (next < all.size() && (all[next].flags & kControlVertex)) ++next;
    points.append(all[i].position);
    if (all[i].bulge != 0 && (next < all.size() || isClosed())) {
      const AcGePoint3d& to = next < all.size() ? all[next].position : all[0].position;
      Segment arc = Segment::bulged(all[i].position, to, all[i].bulge, m_normal);
      for (int k = 1; k < 8; ++k) points.append(arc.pointAt(k / 8.0));
    }
  }
  return points;
}

Adesk::Boolean AcDb2dPolyline::subWorldDraw(AcGiWorldDraw* mode) {
  AcGePoint3dArray points = shownVertices();
  if (isClosed() && points.length() > 0) points.append(points[0]);
  if (points.length() >= 2)
    mode->geometry().polyline(static_cast<Adesk::UInt32>(points.length()), points.asArrayPtr());
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDb2dPolyline::subGetGeomExtents(AcDbExtents& extents) const {
  AcGePoint3dArray points = shownVertices();
  if (points.isEmpty()) return Acad::eInvalidExtents;
  for (const AcGePoint3d& p : points) extents.addPoint(p);
  return Acad::eOk;
}

Acad::ErrorStatus AcDb2dPolyline::subTransformBy(const AcGeMatrix3d& m) {
  std::vector<Vertex> all = vertices();
  for (Vertex& v : all) {
    v.position.transformBy(m);
    if (m.det() < 0) v.bulge = -v.bulge;
  }
  if (!all.empty()) m_elevation = all[0].position.z;
  return replaceVertices(all);
}

Acad::ErrorStatus AcDb2dPolyline::subExplode(AcDbVoidPtrArray& entitySet) const {
  AcGePoint3dArray points = shownVertices();
  int n = points.length();
  int count = isClosed() ? n : n - 1;
  for (int i = 0; i < count; ++i) {
    auto* line = new AcDbLine(points[i], points[(i + 1) % n]);
    line->setPropertiesFrom(this);
    entitySet.append(line);
  }
  return Acad::eOk;
}

// Erasing a polyline erases its vertices and SEQEND with it.
Acad::ErrorStatus AcDb2dPolyline::subErase(bool erasing) {
  AcDbObjectIdArray subs = m_complex->m_subEntities;
  if (!m_complex->m_sequenceEnd.isNull()) subs.append(m_complex->m_sequenceEnd);
  for (const AcDbObjectId& id : subs) {
    if (!id.isValid()) continue;
    AcDbObject* sub = id.stub()->object;
    bool wasWritable = ObjectState::writeOpen(sub);
    ObjectState::writeOpen(sub) = true;
    sub->erase(erasing);
    ObjectState::writeOpen(sub) = wasWritable;
  }
  return Acad::eOk;
}
