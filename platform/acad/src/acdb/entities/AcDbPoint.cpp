// Points: a position with the thickness, normal and display rotation the host keeps.
#include <cmath>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbents.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbPoint, AcDbEntity)

// POINT: 100 AcDbPoint, 10 position (world, not object coordinates), 39 thickness,
// 210 normal, 50 rotation of the display's X axis; the last three left out at their
// defaults.
void AcDbPoint::visitFields(FieldVisitor& v) {
  static const double kZero = 0.0;
  v.marker(L"AcDbPoint");
  v.point(10, m_position);
  v.real(39, m_thickness, &kZero);
  v.vector(210, m_normal, /*optionalZAxis=*/true);
  v.angle(50, m_ecsRotation, /*optional=*/true);
}

Acad::ErrorStatus AcDbPoint::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbEntity::dwgOutFields(filer);
  return writeDwgFields(filer,
                        [this](FieldVisitor& v) { const_cast<AcDbPoint*>(this)->visitFields(v); });
}

Acad::ErrorStatus AcDbPoint::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  return readDwgFields(filer, [this](FieldVisitor& v) { visitFields(v); });
}

Acad::ErrorStatus AcDbPoint::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbEntity::dxfOutFields(filer);
  return writeDxfFields(filer,
                        [this](FieldVisitor& v) { const_cast<AcDbPoint*>(this)->visitFields(v); });
}

// A normal read from a file or a list is a direction: unit length, and the Z axis when
// it has none.
Acad::ErrorStatus AcDbPoint::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  status = readDxfFields(filer, [this](FieldVisitor& v) { visitFields(v); });
  m_normal = m_normal.isZeroLength() ? AcGeVector3d::kZAxis : m_normal.normal();
  return status;
}

Acad::ErrorStatus AcDbPoint::setPosition(const AcGePoint3d& position) {
  assertWriteEnabled();
  m_position = position;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::setThickness(double thickness) {
  if (!std::isfinite(thickness)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_thickness = thickness;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::setNormal(const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_normal = normal.normal();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::setEcsRotation(double rotation) {
  if (!std::isfinite(rotation)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_ecsRotation = rotation;
  return Acad::eOk;
}

// A dot at the position; with a thickness, the segment it sweeps along the normal.
Adesk::Boolean AcDbPoint::subWorldDraw(AcGiWorldDraw* mode) {
  AcGePoint3d ends[2] = {m_position, m_position + m_normal * m_thickness};
  mode->geometry().polyline(2, ends);
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbPoint::subGetGeomExtents(AcDbExtents& extents) const {
  extents.addPoint(m_position);
  if (m_thickness != 0.0) extents.addPoint(m_position + m_normal * m_thickness);
  return Acad::eOk;
}

// The position moves with the transform; the normal turns with it and the thickness
// scales by how much the transform stretches the normal (a mirror may turn it over).
Acad::ErrorStatus AcDbPoint::subTransformBy(const AcGeMatrix3d& m) {
  assertWriteEnabled();
  AcGeVector3d swept = m_normal * m_thickness;
  AcGeVector3d normal = m_normal;
  m_position.transformBy(m);
  normal.transformBy(m);
  swept.transformBy(m);
  if (normal.isZeroLength()) return Acad::eCannotScaleNonUniformly;
  m_normal = normal.normal();
  m_thickness = m_thickness == 0.0 ? 0.0 : swept.dotProduct(m_normal);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                              AcDbIntArray&) const {
  points.append(m_position);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::subMoveGripPointsAt(const AcDbIntArray& indices,
                                                 const AcGeVector3d& offset) {
  if (!indices.contains(0)) return Acad::eOk;
  assertWriteEnabled();
  m_position += offset;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::subGetStretchPoints(AcGePoint3dArray& points) const {
  points.append(m_position);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::subMoveStretchPointsAt(const AcDbIntArray& indices,
                                                    const AcGeVector3d& offset) {
  return subMoveGripPointsAt(indices, offset);
}

// A point snaps as a node (and as the nearest point, itself).
Acad::ErrorStatus AcDbPoint::subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t,
                                               const AcGePoint3d&, const AcGePoint3d&,
                                               const AcGeMatrix3d&, AcGePoint3dArray& points,
                                               AcDbIntArray&) const {
  if (mode == AcDb::kOsModeNode || mode == AcDb::kOsModeNear) points.append(m_position);
  return Acad::eOk;
}
