// NVLeader (see NVLeader.h): its class registration, filing, the host's protocol for
// drawing, grips, stretch, snaps, extents, intersections and explode, and the curve
// queries. Finding blocks and adding to model space belong to DrawingOperations.
#include "draw/NVLeader.h"

#include <cmath>

#include <acutads.h>
#include <rxdict.h>
#include <rxregsvc.h>

#include "draw/DrawingOperations.h"

namespace {

// The module's value of pi.
constexpr double kPi = 3.14159265;

// The angle of a vector in the XY plane, counter-clockwise from +X, in [0, 2*pi).
// A vector with no XY part has angle 0.
double planarAngle(const AcGeVector3d& v) {
  if (v.x == 0.0 && v.y == 0.0) return 0.0;
  double angle = std::atan2(v.y, v.x);
  if (angle < 0.0) angle += 2.0 * kPi;
  if (angle >= 2.0 * kPi) angle = 0.0;
  return angle;
}

AcRxObject* makeNVLeader() { return new NVLeader(); }

AcGePoint3d pointOf(const resbuf& item) {
  return AcGePoint3d(item.resval.rpoint[0], item.resval.rpoint[1], item.resval.rpoint[2]);
}

}  // namespace

// --- class ---------------------------------------------------------------------------

AcRxClass* NVLeader::gpDesc = nullptr;
AcRxClass* NVLeader::desc() { return gpDesc; }
AcRxClass* NVLeader::isA() const { return gpDesc; }

void NVLeader::rxInit() {
  AcRxObject* existing = acrxClassDictionary->at(kClassName);
  if (existing != nullptr) {
    if (existing != gpDesc) acrx_abort(ACRX_T("Class mismatch"));
    return;
  }
  gpDesc = newAcRxClass(kClassName, ACRX_T("AcDbCurve"), /*dwgVersion=*/1,
                        /*maintenanceVersion=*/1, /*proxyFlags=*/1, &makeNVLeader, kDxfName,
                        kAppDescription);
}

namespace tabrik::arx {

void registerNVLeaderClass() { NVLeader::rxInit(); }

void removeNVLeaderClass() {
  if (NVLeader::gpDesc == nullptr) return;
  deleteAcRxClass(NVLeader::gpDesc);
  NVLeader::gpDesc = nullptr;
}

}  // namespace tabrik::arx

// --- construction and the non-virtual operations --------------------------------------

NVLeader::NVLeader() = default;

NVLeader::NVLeader(const AcGePoint3d& startPoint, const AcGePoint3d& middlePoint,
                   const AcGePoint3d& endPoint, double offset, AcDbObjectId blockId,
                   AcDbObjectId layerId)
    : m_startPoint(startPoint), m_middlePoint(middlePoint), m_endPoint(endPoint) {
  setLayer(layerId, /*doSubents=*/true);
  m_blockId = blockId;
  m_blockReference.setBlockTableRecord(blockId);
  m_blockReference.setLayer(layerId, /*doSubents=*/true);
  updateBlock();
  setOffset(offset);
}

NVLeader::~NVLeader() = default;

AcGePoint3d NVLeader::startPoint() const {
  assertReadEnabled();
  return m_startPoint;
}
AcGePoint3d NVLeader::middlePoint() const {
  assertReadEnabled();
  return m_middlePoint;
}
AcGePoint3d NVLeader::endPoint() const {
  assertReadEnabled();
  return m_endPoint;
}
double NVLeader::offset() const {
  assertReadEnabled();
  return m_offset;
}
AcDbObjectId NVLeader::blockId() const {
  assertReadEnabled();
  return m_blockId;
}

AcGePoint3d NVLeader::legEnd() const {
  assertReadEnabled();
  const double theta = planarAngle(m_middlePoint - m_endPoint);
  return AcGePoint3d(m_endPoint.x + m_offset * std::cos(theta),
                     m_endPoint.y + m_offset * std::sin(theta), m_endPoint.z);
}

Acad::ErrorStatus NVLeader::setPoints(const AcGePoint3d& startPoint, const AcGePoint3d& middlePoint,
                                      const AcGePoint3d& endPoint) {
  assertWriteEnabled();
  m_startPoint = startPoint;
  m_middlePoint = middlePoint;
  m_endPoint = endPoint;
  updateBlock();
  return Acad::eOk;
}

bool NVLeader::setBlock(const ACHAR* blockName) {
  assertWriteEnabled();
  AcDbObjectId found;
  if (!tabrik::arx::draw::findBlock(blockName, found)) return false;
  m_blockId = found;
  m_blockReference.setBlockTableRecord(found);
  return true;
}

Acad::ErrorStatus NVLeader::setOffset(double offset) {
  assertWriteEnabled();
  m_offset = offset;
  return m_blockReference.setScaleFactors(AcGeScale3d(offset, offset, offset));
}

void NVLeader::updateBlock() {
  assertWriteEnabled();
  m_blockReference.setPosition(m_endPoint);
  m_blockReference.setRotation(planarAngle(m_endPoint - m_middlePoint));
}

bool NVLeader::hasSymbol() const { return !m_blockId.isNull(); }

Acad::ErrorStatus NVLeader::explodeToModelSpace(AcDbObjectId layerId,
                                                AcDbObjectIdArray& created) const {
  assertReadEnabled();
  const AcDbObjectId linetype = linetypeId();
  auto place = [&](AcDbEntity* entity) {
    entity->setLayer(layerId, /*doSubents=*/true, /*allowHiddenLayer=*/false);
    if (!linetype.isNull()) entity->setLinetype(linetype);
    if (!tabrik::arx::draw::appendToModelSpace(entity)) return false;
    created.append(entity->objectId());
    entity->close();
    return true;
  };
  if (!place(new AcDbLine(m_startPoint, m_middlePoint))) return Acad::eInvalidInput;
  if (!place(new AcDbLine(m_middlePoint, legEnd()))) return Acad::eInvalidInput;
  // A leader without a block has no symbol to place.
  if (!hasSymbol()) return Acad::eOk;
  auto* symbol =
      new AcDbBlockReference(m_blockReference.position(), m_blockReference.blockTableRecord());
  symbol->setRotation(m_blockReference.rotation());
  symbol->setScaleFactors(m_blockReference.scaleFactors());
  return place(symbol) ? Acad::eOk : Acad::eInvalidInput;
}

// --- filing --------------------------------------------------------------------------

Acad::ErrorStatus NVLeader::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  Acad::ErrorStatus status = AcDbCurve::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeInt32(kRecordVersion);
  filer->writePoint3d(m_startPoint);
  filer->writePoint3d(m_middlePoint);
  filer->writePoint3d(m_endPoint);
  filer->writeDouble(m_offset);
  // An erased block is not written, so that a saved drawing never points at it; undo
  // must bring the leader back as it was, block included.
  const bool blockPresent =
      m_blockId.isValid() && (!m_blockId.isErased() || filer->filerType() == AcDb::kUndoFiler);
  filer->writeBool(blockPresent);
  if (blockPresent) filer->writeHardPointerId(AcDbHardPointerId(m_blockId));
  return filer->filerStatus();
}

Acad::ErrorStatus NVLeader::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::Int32 version = 0;
  if ((status = filer->readInt32(&version)) != Acad::eOk) return status;
  if (version > kRecordVersion) return Acad::eMakeMeProxy;
  if (version <= 0) return filer->filerStatus();
  if ((status = filer->readPoint3d(&m_startPoint)) != Acad::eOk) return status;
  if ((status = filer->readPoint3d(&m_middlePoint)) != Acad::eOk) return status;
  if ((status = filer->readPoint3d(&m_endPoint)) != Acad::eOk) return status;
  double offset = 0.0;
  if ((status = filer->readDouble(&offset)) != Acad::eOk) return status;
  // Version 1 kept the offset relative to the leader scale; version 2 keeps it absolute.
  if (version == 1) offset *= tabrik::arx::draw::leaderScale();
  m_blockId = AcDbObjectId::kNull;
  bool blockPresent = false;
  if ((status = filer->readBool(&blockPresent)) != Acad::eOk) return status;
  if (blockPresent) {
    AcDbHardPointerId block;
    status = filer->readHardPointerId(&block);
    // A block the filer cannot resolve does not stop the read; the legs still draw.
    if (status != Acad::eOk && status != Acad::eUnknownHandle) return status;
    m_blockId = block;
  }
  m_blockReference.setBlockTableRecord(m_blockId);
  updateBlock();
  setOffset(offset);
  if (version == 2 && !layerId().isNull())
    m_blockReference.setLayer(layerId(), /*doSubents=*/true, /*allowHiddenLayer=*/false);
  return filer->filerStatus();
}

Acad::ErrorStatus NVLeader::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  Acad::ErrorStatus status = AcDbCurve::dxfOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(100, kClassName);
  filer->writePoint3d(10, m_startPoint);
  filer->writePoint3d(11, m_middlePoint);
  filer->writePoint3d(12, m_endPoint);
  filer->writeDouble(40, m_offset);
  return filer->filerStatus();
}

Acad::ErrorStatus NVLeader::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  if (!filer->atSubclassData(kClassName)) return Acad::eBadDxfSequence;
  resbuf item{};
  while (filer->readItem(&item) == Acad::eOk) {
    switch (item.restype) {
      case 10:
        m_startPoint = pointOf(item);
        break;
      case 11:
        m_middlePoint = pointOf(item);
        break;
      case 12:
        m_endPoint = pointOf(item);
        break;
      case 40:
        setOffset(item.resval.rreal);
        break;
      default:
        break;
    }
  }
  updateBlock();
  return filer->filerStatus();
}

Acad::ErrorStatus NVLeader::setLayer(AcDbObjectId layerId, bool doSubents, bool allowHiddenLayer) {
  Acad::ErrorStatus status = AcDbCurve::setLayer(layerId, doSubents, allowHiddenLayer);
  if (status != Acad::eOk || !doSubents) return status;
  return m_blockReference.setLayer(layerId, doSubents, allowHiddenLayer);
}

// --- drawing and listing ---------------------------------------------------------------

Adesk::Boolean NVLeader::subWorldDraw(AcGiWorldDraw* mode) {
  assertReadEnabled();
  const AcGePoint3d firstLeg[2] = {m_startPoint, m_middlePoint};
  mode->geometry().polyline(2, firstLeg, /*normal=*/nullptr, /*baseSubEntMarker=*/-1);
  const AcGePoint3d secondLeg[2] = {m_middlePoint, legEnd()};
  mode->geometry().polyline(2, secondLeg, /*normal=*/nullptr, /*baseSubEntMarker=*/-1);
  const Adesk::UInt16 color = mode->subEntityTraits().color();
  mode->subEntityTraits().setLayer(layerId());
  const Adesk::Boolean drawn = mode->geometry().draw(&m_blockReference);
  mode->subEntityTraits().setColor(color);
  return drawn;
}

void NVLeader::subList() const {
  assertReadEnabled();
  AcDbCurve::subList();
  acutPrintf(ACRX_T("                   Starting point = %f, %f, %f\n"), m_startPoint.x,
             m_startPoint.y, m_startPoint.z);
  acutPrintf(ACRX_T("                   Middle point = %f, %f, %f\n"), m_middlePoint.x,
             m_middlePoint.y, m_middlePoint.z);
  acutPrintf(ACRX_T("                   End point = %f, %f, %f\n"), m_endPoint.x, m_endPoint.y,
             m_endPoint.z);
  acutPrintf(ACRX_T("\n\n"));
  m_blockReference.list();
}

// --- geometry protocol -------------------------------------------------------------

Acad::ErrorStatus NVLeader::subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t gsSelectionMark,
                                              const AcGePoint3d& pickPoint,
                                              const AcGePoint3d& lastPoint,
                                              const AcGeMatrix3d& viewXform,
                                              AcGePoint3dArray& snapPoints,
                                              AcDbIntArray& geomIds) const {
  assertReadEnabled();
  const AcDbLine firstLeg(m_startPoint, m_middlePoint);
  const AcDbLine secondLeg(m_middlePoint, legEnd());
  Acad::ErrorStatus status = firstLeg.getOsnapPoints(mode, gsSelectionMark, pickPoint, lastPoint,
                                                     viewXform, snapPoints, geomIds);
  if (status != Acad::eOk) return status;
  status = secondLeg.getOsnapPoints(mode, gsSelectionMark, pickPoint, lastPoint, viewXform,
                                    snapPoints, geomIds);
  if (status != Acad::eOk || !hasSymbol()) return status;
  return m_blockReference.getOsnapPoints(mode, gsSelectionMark, pickPoint, lastPoint, viewXform,
                                         snapPoints, geomIds);
}

Acad::ErrorStatus NVLeader::subTransformBy(const AcGeMatrix3d& transform) {
  assertWriteEnabled();
  // The offset stays: scaling a leader scales its legs, never its symbol.
  m_startPoint.transformBy(transform);
  m_middlePoint.transformBy(transform);
  m_endPoint.transformBy(transform);
  updateBlock();
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::subExplode(AcDbVoidPtrArray& entitySet) const {
  assertReadEnabled();
  entitySet.append(new AcDbLine(m_startPoint, m_middlePoint));
  entitySet.append(new AcDbLine(m_middlePoint, legEnd()));
  if (!hasSymbol()) return Acad::eOk;
  return m_blockReference.explode(entitySet);
}

Acad::ErrorStatus NVLeader::subGetGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray&,
                                             AcDbIntArray&) const {
  return subGetStretchPoints(gripPoints);
}

Acad::ErrorStatus NVLeader::subMoveGripPointsAt(const AcDbIntArray& indices,
                                                const AcGeVector3d& offset) {
  return subMoveStretchPointsAt(indices, offset);
}

Acad::ErrorStatus NVLeader::subGetStretchPoints(AcGePoint3dArray& stretchPoints) const {
  assertReadEnabled();
  stretchPoints.append(m_startPoint);
  stretchPoints.append(m_middlePoint);
  stretchPoints.append(m_endPoint);
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::subMoveStretchPointsAt(const AcDbIntArray& indices,
                                                   const AcGeVector3d& offset) {
  assertWriteEnabled();
  // Each point moves once however often its index is listed.
  bool moves[3] = {false, false, false};
  for (int index : indices) {
    if (index >= 0 && index < 3) moves[index] = true;
  }
  if (moves[0]) m_startPoint += offset;
  if (moves[1]) m_middlePoint += offset;
  if (moves[2]) m_endPoint += offset;
  updateBlock();
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::subGetGeomExtents(AcDbExtents& extents) const {
  assertReadEnabled();
  const AcDbLine firstLeg(m_startPoint, m_middlePoint);
  const AcDbLine secondLeg(m_middlePoint, legEnd());
  Acad::ErrorStatus status = firstLeg.getGeomExtents(extents);
  if (status != Acad::eOk) return status;
  status = secondLeg.getGeomExtents(extents);
  if (status != Acad::eOk || !hasSymbol()) return status;
  return m_blockReference.getGeomExtents(extents);
}

Acad::ErrorStatus NVLeader::subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                             const AcGePlane& projPlane, AcGePoint3dArray& points,
                                             std::intptr_t thisGsMarker,
                                             std::intptr_t otherGsMarker) const {
  assertReadEnabled();
  const AcDbLine firstLeg(m_startPoint, m_middlePoint);
  const AcDbLine secondLeg(m_middlePoint, legEnd());
  Acad::ErrorStatus status =
      firstLeg.intersectWith(other, type, projPlane, points, thisGsMarker, otherGsMarker);
  if (status != Acad::eOk) return status;
  status = secondLeg.intersectWith(other, type, projPlane, points, thisGsMarker, otherGsMarker);
  if (status != Acad::eOk || !hasSymbol()) return status;
  return m_blockReference.intersectWith(other, type, projPlane, points, thisGsMarker,
                                        otherGsMarker);
}

Acad::ErrorStatus NVLeader::subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                             AcGePoint3dArray& points, std::intptr_t thisGsMarker,
                                             std::intptr_t otherGsMarker) const {
  assertReadEnabled();
  const AcDbLine firstLeg(m_startPoint, m_middlePoint);
  const AcDbLine secondLeg(m_middlePoint, legEnd());
  Acad::ErrorStatus status =
      firstLeg.intersectWith(other, type, points, thisGsMarker, otherGsMarker);
  if (status != Acad::eOk) return status;
  status = secondLeg.intersectWith(other, type, points, thisGsMarker, otherGsMarker);
  if (status != Acad::eOk || !hasSymbol()) return status;
  return m_blockReference.intersectWith(other, type, points, thisGsMarker, otherGsMarker);
}

// --- curve queries: the straight segment from startPoint to endPoint ---------------------

Acad::ErrorStatus NVLeader::getStartParam(double& param) const {
  assertReadEnabled();
  param = 0.0;
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getEndParam(double& param) const {
  assertReadEnabled();
  param = (m_endPoint - m_startPoint).length();
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getStartPoint(AcGePoint3d& point) const {
  assertReadEnabled();
  point = m_startPoint;
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getEndPoint(AcGePoint3d& point) const {
  assertReadEnabled();
  point = m_endPoint;
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getPointAtParam(double param, AcGePoint3d& point) const {
  assertReadEnabled();
  point = m_startPoint + param * (m_endPoint - m_startPoint).normal();
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getParamAtPoint(const AcGePoint3d& point, double& param) const {
  assertReadEnabled();
  param = (point - m_startPoint).dotProduct((m_endPoint - m_startPoint).normal());
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getDistAtParam(double param, double& dist) const {
  assertReadEnabled();
  dist = param;
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getParamAtDist(double dist, double& param) const {
  assertReadEnabled();
  param = dist;
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getDistAtPoint(const AcGePoint3d& point, double& dist) const {
  assertReadEnabled();
  dist = (point - m_startPoint).length();
  return Acad::eOk;
}

Acad::ErrorStatus NVLeader::getPointAtDist(double dist, AcGePoint3d& point) const {
  return getPointAtParam(dist, point);
}
