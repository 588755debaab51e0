// Lightweight polylines.
#include <algorithm>
#include <cmath>
#include <vector>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "dbpl.h"
#include "dbents.h"
#include "acdb/entities/CurveGeometry.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbPolyline, AcDbCurve)

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned int index, const AcGePoint2d& point,
                                            double bulge, double startWidth, double endWidth) {
  if (index > m_vertices.size()) return Acad::eInvalidIndex;
  assertWriteEnabled();
  Vertex v{point, bulge, startWidth < 0 ? m_constantWidth : startWidth,
           endWidth < 0 ? m_constantWidth : endWidth};
  m_vertices.insert(m_vertices.begin() + index, v);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::removeVertexAt(unsigned int index) {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  assertWriteEnabled();
  m_vertices.erase(m_vertices.begin() + index);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint2d& point) const {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  point = m_vertices[index].point;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint3d& point) const {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  const AcGePoint2d& p = m_vertices[index].point;
  point = AcGeMatrix3d::planeToWorld(m_normal) * AcGePoint3d(p.x, p.y, m_elevation);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setPointAt(unsigned int index, const AcGePoint2d& point) {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  assertWriteEnabled();
  m_vertices[index].point = point;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getBulgeAt(unsigned int index, double& bulge) const {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  bulge = m_vertices[index].bulge;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setBulgeAt(unsigned int index, double bulge) {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  assertWriteEnabled();
  m_vertices[index].bulge = bulge;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getWidthsAt(unsigned int index, double& startWidth,
                                            double& endWidth) const {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  startWidth = m_vertices[index].startWidth;
  endWidth = m_vertices[index].endWidth;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setWidthsAt(unsigned int index, double startWidth,
                                            double endWidth) {
  if (index >= m_vertices.size()) return Acad::eInvalidIndex;
  if (startWidth < 0 || endWidth < 0) return Acad::eNegativeValueNotAllowed;
  assertWriteEnabled();
  m_vertices[index].startWidth = startWidth;
  m_vertices[index].endWidth = endWidth;
  return Acad::eOk;
}

bool AcDbPolyline::isOnlyLines() const {
  for (const Vertex& v : m_vertices)
    if (v.bulge != 0) return false;
  return true;
}

void AcDbPolyline::setClosed(bool closed) {
  assertWriteEnabled();
  m_closed = closed;
}

void AcDbPolyline::setElevation(double elevation) {
  assertWriteEnabled();
  m_elevation = elevation;
}

Acad::ErrorStatus AcDbPolyline::setNormal(const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_normal = normal.normal();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setThickness(double thickness) {
  assertWriteEnabled();
  m_thickness = thickness;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getConstantWidth(double& width) const {
  width = m_vertices.empty() ? m_constantWidth : m_vertices[0].startWidth;
  for (const Vertex& v : m_vertices)
    if (v.startWidth != width || v.endWidth != width) return Acad::eInvalidInput;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setConstantWidth(double width) {
  if (width < 0) return Acad::eNegativeValueNotAllowed;
  assertWriteEnabled();
  m_constantWidth = width;
  for (Vertex& v : m_vertices) v.startWidth = v.endWidth = width;
  return Acad::eOk;
}

// Each segment's centre line; a segment with a width also fills its band (the area
// between the two offsets, tapering from the start width to the end width), except
// when exploding, which keeps the plain geometry.
Adesk::Boolean AcDbPolyline::subWorldDraw(AcGiWorldDraw* mode) {
  CurveModel model;
  if (!curveModel(this, model)) return Adesk::kTrue;
  const bool bands = mode->regenType() != kAcGiForExplode;
  for (size_t i = 0; bands && i < model.segments.size(); ++i) {
    const Segment& s = model.segments[i];
    double startWidth = 0, endWidth = 0;
    getWidthsAt(static_cast<unsigned>(i), startWidth, endWidth);
    if (!(startWidth > 0 || endWidth > 0) || s.length() <= 0) continue;
    const int steps = s.isArc ? std::clamp(static_cast<int>(std::fabs(s.sweep) * 16), 4, 256) : 1;
    std::vector<AcGePoint3d> band(2 * (steps + 1));
    for (int k = 0; k <= steps; ++k) {
      const double t = static_cast<double>(k) / steps;
      const AcGeVector3d along = s.derivAt(t);
      if (along.isZeroLength()) continue;
      const AcGeVector3d side = m_normal.crossProduct(along).normal();
      const double half = (startWidth + (endWidth - startWidth) * t) / 2;
      band[k] = s.pointAt(t) + side * half;
      band[band.size() - 1 - k] = s.pointAt(t) - side * half;
    }
    mode->geometry().polygon(static_cast<Adesk::UInt32>(band.size()), band.data());
  }
  for (const Segment& s : model.segments) {
    if (s.isArc) {
      mode->geometry().circularArc(s.center, s.radius, s.sweep >= 0 ? s.normal : -s.normal,
                                   s.pointAt(s.sweep >= 0 ? 0 : 1) - s.center, std::fabs(s.sweep));
    } else {
      AcGePoint3d points[2] = {s.start, s.end};
      mode->geometry().polyline(2, points);
    }
  }
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbPolyline::subTransformBy(const AcGeMatrix3d& m) {
  if (!m.isUniScaledOrtho()) return Acad::eCannotScaleNonUniformly;
  assertWriteEnabled();
  AcGeMatrix3d toWorld = AcGeMatrix3d::planeToWorld(m_normal);
  std::vector<AcGePoint3d> world;
  for (const Vertex& v : m_vertices)
    world.push_back(toWorld * AcGePoint3d(v.point.x, v.point.y, m_elevation));
  AcGeVector3d normal = m_normal;
  normal.transformBy(m);
  bool mirrored = m.det() < 0;
  m_normal = mirrored ? -normal.normal() : normal.normal();
  AcGeMatrix3d toPlane = AcGeMatrix3d::worldToPlane(m_normal);
  double scale = m.scale();
  for (size_t i = 0; i < m_vertices.size(); ++i) {
    AcGePoint3d p = toPlane * (m * world[i]);
    m_vertices[i].point = AcGePoint2d(p.x, p.y);
    m_elevation = p.z;
    m_vertices[i].startWidth *= scale;
    m_vertices[i].endWidth *= scale;
    // Mirroring keeps the normal's side by turning it, which reverses the arcs.
    if (mirrored) m_vertices[i].bulge = -m_vertices[i].bulge;
  }
  m_constantWidth *= scale;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::subExplode(AcDbVoidPtrArray& entitySet) const {
  CurveModel model;
  if (!curveModel(this, model)) return Acad::eOk;
  for (const Segment& s : model.segments) {
    AcDbEntity* piece = nullptr;
    if (s.isArc) {
      double start = s.sweep >= 0 ? 0 : 1;
      AcGeVector3d n = s.sweep >= 0 ? s.normal : -s.normal;
      // The arc counter-clockwise about n from the earlier end.
      AcGeMatrix3d toPlane = AcGeMatrix3d::worldToPlane(n);
      AcGeVector3d a = s.pointAt(start) - s.center, b = s.pointAt(1 - start) - s.center;
      a.transformBy(toPlane), b.transformBy(toPlane);
      piece = new AcDbArc(s.center, n, s.radius, std::atan2(a.y, a.x), std::atan2(b.y, b.x));
    } else {
      piece = new AcDbLine(s.start, s.end);
    }
    piece->setPropertiesFrom(this);
    entitySet.append(piece);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                                 AcDbIntArray&) const {
  for (unsigned i = 0; i < numVerts(); ++i) {
    AcGePoint3d p;
    getPointAt(i, p);
    points.append(p);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::subMoveGripPointsAt(const AcDbIntArray& indices,
                                                    const AcGeVector3d& offset) {
  assertWriteEnabled();
  AcGeVector3d ocs = offset;
  ocs.transformBy(AcGeMatrix3d::worldToPlane(m_normal));
  for (int i = 0; i < static_cast<int>(m_vertices.size()); ++i) {
    if (!indices.contains(i)) continue;
    m_vertices[i].point = AcGePoint2d(m_vertices[i].point.x + ocs.x, m_vertices[i].point.y + ocs.y);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t,
                                                  const AcGePoint3d&, const AcGePoint3d&,
                                                  const AcGeMatrix3d&, AcGePoint3dArray& points,
                                                  AcDbIntArray&) const {
  CurveModel model;
  if (!curveModel(this, model)) return Acad::eOk;
  for (const Segment& s : model.segments) {
    if (mode == AcDb::kOsModeEnd) {
      if (!points.contains(s.startPoint())) points.append(s.startPoint());
      if (!points.contains(s.endPoint())) points.append(s.endPoint());
    }
    if (mode == AcDb::kOsModeMid) points.append(s.pointAt(0.5));
    if (mode == AcDb::kOsModeCen && s.isArc) points.append(s.center);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbCurve::dwgOutFields(filer);
  filer->writeBool(m_closed);
  filer->writeBool(m_plinegen);
  filer->writeDouble(m_elevation);
  filer->writeDouble(m_thickness);
  filer->writeDouble(m_constantWidth);
  filer->writeVector3d(m_normal);
  filer->writeInt32(static_cast<Adesk::Int32>(m_vertices.size()));
  for (const Vertex& v : m_vertices) {
    filer->writePoint2d(v.point);
    filer->writeDouble(v.bulge);
    filer->writeDouble(v.startWidth);
    filer->writeDouble(v.endWidth);
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbPolyline::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  filer->readBool(&m_closed);
  filer->readBool(&m_plinegen);
  filer->readDouble(&m_elevation);
  filer->readDouble(&m_thickness);
  filer->readDouble(&m_constantWidth);
  filer->readVector3d(&m_normal);
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  m_vertices.clear();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    Vertex v;
    filer->readPoint2d(&v.point);
    filer->readDouble(&v.bulge);
    filer->readDouble(&v.startWidth);
    filer->readDouble(&v.endWidth);
    m_vertices.push_back(v);
  }
  return filer->filerStatus();
}

// LWPOLYLINE: 100 AcDbPolyline, 90 vertex count, 70 flags (1 closed, 128 linetype
// generation), 43 constant width (when every width is the same non-zero value), 38
// elevation, 39 thickness (when not 0), then per vertex 10/20 (OCS) and 40/41 widths
// (when not constant) and 42 bulge (when not 0), then 210 normal.
Acad::ErrorStatus AcDbPolyline::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbCurve::dxfOutFields(filer);
  filer->writeString(100, L"AcDbPolyline");
  filer->writeInt32(90, static_cast<Adesk::Int32>(m_vertices.size()));
  filer->writeInt16(70, static_cast<Adesk::Int16>((m_closed ? 1 : 0) | (m_plinegen ? 128 : 0)));
  double constant = 0;
  bool isConstant = getConstantWidth(constant) == Acad::eOk;
  if (isConstant && constant != 0) filer->writeDouble(43, constant);
  if (m_elevation != 0) filer->writeDouble(38, m_elevation);
  if (m_thickness != 0) filer->writeDouble(39, m_thickness);
  for (const Vertex& v : m_vertices) {
    filer->writePoint2d(10, v.point);
    if (!isConstant) {
      filer->writeDouble(40, v.startWidth);
      filer->writeDouble(41, v.endWidth);
    }
    if (v.bulge != 0) filer->writeDouble(42, v.bulge);
  }
  if (!m_normal.isEqualTo(AcGeVector3d::kZAxis)) filer->writeVector3d(210, m_normal);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbPolyline::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
  if (status == Acad::eOk) status = requireSubclass(filer, L"AcDbPolyline");
  if (status != Acad::eOk) return status;
  m_vertices.clear();
  m_constantWidth = 0;
  bool widthGiven = false;
  status = forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 70:
        m_closed = (rb.resval.rint & 1) != 0;
        m_plinegen = (rb.resval.rint & 128) != 0;
        break;
      case 43:
        m_constantWidth = rb.resval.rreal;
        break;
      case 38:
        m_elevation = rb.resval.rreal;
        break;
      case 39:
        m_thickness = rb.resval.rreal;
        break;
      case 10:
        m_vertices.push_back(
            {AcGePoint2d(rb.resval.rpoint[0], rb.resval.rpoint[1]), 0.0, 0.0, 0.0});
        break;
      case 40:
        if (!m_vertices.empty()) m_vertices.back().startWidth = rb.resval.rreal, widthGiven = true;
        break;
      case 41:
        if (!m_vertices.empty()) m_vertices.back().endWidth = rb.resval.rreal, widthGiven = true;
        break;
      case 42:
        if (!m_vertices.empty()) m_vertices.back().bulge = rb.resval.rreal;
        break;
      case 210: {
        AcGeVector3d n = vectorOf(rb);
        if (!n.isZeroLength()) m_normal = unitDirection(n);
        break;
      }
      default:
        break;
    }
  });
  if (!widthGiven)
    for (Vertex& v : m_vertices) v.startWidth = v.endWidth = m_constantWidth;
  return status;
}
