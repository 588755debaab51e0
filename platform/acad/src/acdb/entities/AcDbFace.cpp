// 3D faces and paper-space viewports.
#include <cmath>

#include "acdb/objects/DatabaseInternal.h"
#include "acdb/objects/DxfGroups.h"
#include "acdb/objects/FieldVisitor.h"
#include "dbents.h"
#include "rxboiler.h"

using namespace tabrik::acad;

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbFace, AcDbEntity)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbViewport, AcDbEntity)

AcDbFace::AcDbFace(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                   const AcGePoint3d& p3, bool e0, bool e1, bool e2, bool e3)
    : m_corners{p0, p1, p2, p3},
      m_invisibleEdges(
          static_cast<Adesk::Int16>((e0 ? 0 : 1) | (e1 ? 0 : 2) | (e2 ? 0 : 4) | (e3 ? 0 : 8))) {}

// 3DFACE: 100 AcDbFace, corners 10 11 12 13, 70 invisible-edge bits.
void AcDbFace::visitFields(FieldVisitor& v) {
  static const Adesk::Int16 kNone = 0;
  v.marker(L"AcDbFace");
  for (int i = 0; i < 4; ++i) v.point(10 + i, m_corners[i]);
  v.int16(70, m_invisibleEdges, &kNone);
}
TABRIK_FIELD_FILING(AcDbFace, AcDbEntity)

Acad::ErrorStatus AcDbFace::getVertexAt(Adesk::UInt16 index, AcGePoint3d& point) const {
  if (index > 3) return Acad::eInvalidIndex;
  point = m_corners[index];
  return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::setVertexAt(Adesk::UInt16 index, const AcGePoint3d& point) {
  if (index > 3) return Acad::eInvalidIndex;
  assertWriteEnabled();
  m_corners[index] = point;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::isEdgeVisibleAt(Adesk::UInt16 index, bool& visible) const {
  if (index > 3) return Acad::eInvalidIndex;
  visible = (m_invisibleEdges & (1 << index)) == 0;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::makeEdgeInvisibleAt(Adesk::UInt16 index) {
  if (index > 3) return Acad::eInvalidIndex;
  assertWriteEnabled();
  m_invisibleEdges = static_cast<Adesk::Int16>(m_invisibleEdges | (1 << index));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::makeEdgeVisibleAt(Adesk::UInt16 index) {
  if (index > 3) return Acad::eInvalidIndex;
  assertWriteEnabled();
  m_invisibleEdges = static_cast<Adesk::Int16>(m_invisibleEdges & ~(1 << index));
  return Acad::eOk;
}

// Only the visible edges are drawn; a shaded view draws the face as a surface (its
// three or four distinct corners).
Adesk::Boolean AcDbFace::subWorldDraw(AcGiWorldDraw* mode) {
  if (mode->regenType() == kAcGiHideOrShadeCommand) {
    const Adesk::Int32 count = m_corners[3].isEqualTo(m_corners[2]) ? 3 : 4;
    const Adesk::Int32 faces[5] = {count, 0, 1, 2, 3};
    mode->geometry().shell(4, m_corners, count + 1, faces);
    return Adesk::kTrue;
  }
  for (int i = 0; i < 4; ++i) {
    if (m_invisibleEdges & (1 << i)) continue;
    AcGePoint3d edge[2] = {m_corners[i], m_corners[(i + 1) % 4]};
    if (edge[0].isEqualTo(edge[1])) continue;
    mode->geometry().polyline(2, edge);
  }
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbFace::subGetGeomExtents(AcDbExtents& extents) const {
  for (const AcGePoint3d& p : m_corners) extents.addPoint(p);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::subTransformBy(const AcGeMatrix3d& m) {
  assertWriteEnabled();
  for (AcGePoint3d& p : m_corners) p.transformBy(m);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray&,
                                             AcDbIntArray&) const {
  for (const AcGePoint3d& p : m_corners) points.append(p);
  return Acad::eOk;
}

// A face explodes into nothing simpler in the host; it answers with a copy of itself.
Acad::ErrorStatus AcDbFace::subExplode(AcDbVoidPtrArray& entitySet) const {
  auto* copy = AcDbFace::cast(clone());
  if (copy == nullptr) return Acad::eNotApplicable;
  entitySet.append(copy);
  return Acad::eOk;
}

// --- viewport ------------------------------------------------------------------------------

// VIEWPORT: 100 AcDbViewport, 10 centre, 40 width, 41 height, 68 status (0 off; on:
// its stacking place, from 1), 69 id, 12 view centre, 13 snap base, 14 snap spacing,
// 15 grid spacing, 16 view direction, 17 target, 42 lens, 43/44 clipping, 45 view
// height, 50/51 snap and twist angles, 72 circle zoom, then 331 per frozen layer,
// 90 status bits, 281 render mode, 71 UCS per viewport, 74 UCS icon, 110/111/112 UCS,
// 79 orthographic type, 146 elevation.
void AcDbViewport::visitFields(FieldVisitor& v) {
  Adesk::Int16 status = m_on ? 1 : 0;
  AcGePoint3d viewCenter(m_viewCenter.x, m_viewCenter.y, 0), zero, ten(10, 10, 0), z(0, 0, 1);
  double lens = 50, clip = 0, angle = 0;
  Adesk::Int16 zoom = 1000, off = 0, one = 1;
  Adesk::Int32 bits = 32864;
  v.marker(L"AcDbViewport");
  v.point(10, m_center);
  v.real(40, m_width);
  v.real(41, m_height);
  v.int16(68, status);
  v.int16(69, m_number);
  v.point2d(12, viewCenter);
  v.point2d(13, zero);
  v.point2d(14, ten);
  v.point2d(15, ten);
  v.point(16, z);
  v.point(17, zero);
  v.real(42, lens);
  v.real(43, clip);
  v.real(44, clip);
  v.real(45, m_viewHeight);
  v.angle(50, angle);
  v.angle(51, angle);
  v.int16(72, zoom);
  v.int32(90, bits);
  v.int16(281, off);
  v.int16(71, one);
  v.int16(74, off);
  m_on = status != 0;
  m_viewCenter = AcGePoint2d(viewCenter.x, viewCenter.y);
}

Acad::ErrorStatus AcDbViewport::dwgOutFields(AcDbDwgFiler* filer) const {
  AcDbEntity::dwgOutFields(filer);
  writeDwgFields(filer,
                 [this](FieldVisitor& v) { const_cast<AcDbViewport*>(this)->visitFields(v); });
  filer->writeInt32(m_frozenLayers.length());
  for (const AcDbObjectId& id : m_frozenLayers) filer->writeHardPointerId(id);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewport::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  readDwgFields(filer, [this](FieldVisitor& v) { visitFields(v); });
  Adesk::Int32 count = 0;
  filer->readInt32(&count);
  if (count < 0) return Acad::eFilerError;
  m_frozenLayers.removeAll();
  for (int i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    AcDbHardPointerId id;
    filer->readHardPointerId(&id);
    if (!id.isNull()) m_frozenLayers.append(id);
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewport::dxfOutFields(AcDbDxfFiler* filer) const {
  AcDbEntity::dxfOutFields(filer);
  writeDxfFields(filer,
                 [this](FieldVisitor& v) { const_cast<AcDbViewport*>(this)->visitFields(v); });
  for (const AcDbObjectId& id : m_frozenLayers)
    if (id.isValid() && !id.isErased()) filer->writeObjectId(331, id);
  filer->writeInt16(79, 0);
  filer->writeDouble(146, 0.0);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewport::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::Int16 state = 1;
  m_frozenLayers.removeAll();
  status = requireSubclass(filer, L"AcDbViewport");
  if (status != Acad::eOk) return status;
  status = forEachGroup(filer, [&](const resbuf& rb) {
    switch (rb.restype) {
      case 10:
        m_center = pointOf(rb);
        break;
      case 40:
        m_width = rb.resval.rreal;
        break;
      case 41:
        m_height = rb.resval.rreal;
        break;
      case 68:
        state = rb.resval.rint;
        break;
      case 69:
        m_number = rb.resval.rint;
        break;
      case 12:
        m_viewCenter = AcGePoint2d(rb.resval.rpoint[0], rb.resval.rpoint[1]);
        break;
      case 45:
        m_viewHeight = rb.resval.rreal;
        break;
      case 331: {
        AcDbObjectId id = filer->idOf(rb);
        if (!id.isNull() && !m_frozenLayers.contains(id)) m_frozenLayers.append(id);
        break;
      }
      default:
        break;
    }
  });
  m_on = state != 0;
  return status;
}

Acad::ErrorStatus AcDbViewport::setCenterPoint(const AcGePoint3d& center) {
  assertWriteEnabled();
  m_center = center;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbViewport::setWidth(double width) {
  if (!(width > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_width = width;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbViewport::setHeight(double height) {
  if (!(height > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_height = height;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbViewport::setViewCenter(const AcGePoint2d& center) {
  assertWriteEnabled();
  m_viewCenter = center;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbViewport::setViewHeight(double height) {
  if (!(height > 0)) return Acad::eInvalidInput;
  assertWriteEnabled();
  m_viewHeight = height;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbViewport::setOn() {
  assertWriteEnabled();
  m_on = true;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbViewport::setOff() {
  assertWriteEnabled();
  m_on = false;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::freezeLayersInViewport(const AcDbObjectIdArray& layerIds) {
  assertWriteEnabled();
  for (const AcDbObjectId& id : layerIds)
    if (!id.isNull() && !m_frozenLayers.contains(id)) m_frozenLayers.append(id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::thawLayersInViewport(const AcDbObjectIdArray& layerIds) {
  assertWriteEnabled();
  for (const AcDbObjectId& id : layerIds) m_frozenLayers.remove(id);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::thawAllLayersInViewport() {
  assertWriteEnabled();
  m_frozenLayers.removeAll();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::getFrozenLayerList(AcDbObjectIdArray& ids) const {
  ids = m_frozenLayers;
  return Acad::eOk;
}

Adesk::Boolean AcDbViewport::subWorldDraw(AcGiWorldDraw* mode) {
  AcGePoint3d corners[5] = {m_center + AcGeVector3d(-m_width / 2, -m_height / 2, 0),
                            m_center + AcGeVector3d(m_width / 2, -m_height / 2, 0),
                            m_center + AcGeVector3d(m_width / 2, m_height / 2, 0),
                            m_center + AcGeVector3d(-m_width / 2, m_height / 2, 0),
                            m_center + AcGeVector3d(-m_width / 2, -m_height / 2, 0)};
  mode->geometry().polyline(5, corners);
  return Adesk::kTrue;
}

Acad::ErrorStatus AcDbViewport::subGetGeomExtents(AcDbExtents& extents) const {
  extents.addPoint(m_center - AcGeVector3d(m_width / 2, m_height / 2, 0));
  extents.addPoint(m_center + AcGeVector3d(m_width / 2, m_height / 2, 0));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbViewport::subTransformBy(const AcGeMatrix3d& m) {
  assertWriteEnabled();
  m_center.transformBy(m);
  m_width *= m.scale();
  m_height *= m.scale();
  return Acad::eOk;
}
