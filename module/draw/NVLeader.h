// NVLeader: the module's two-leg leader. A straight leg from the start point to the
// middle point, a second leg from the middle point towards the end point, and a symbol
// block at the end point, turned along the second leg and scaled by `offset`. The second
// leg stops `offset` short of the end point, where a unit-sized symbol's edge lies.
// The leader owns a block reference that is never added to a drawing; it draws, snaps,
// measures, intersects, lists and explodes the symbol.
//
// Invariants, kept by every change of a point, the block or the offset:
//   blockReference.position     == endPoint
//   blockReference.rotation     == XY angle of endPoint - middlePoint, in [0, 2*pi)
//   blockReference.scaleFactors == (offset, offset, offset)
//   blockReference.block        == blockId
//   blockReference.layer        == the leader's layer
//
// The drawing-file record (after the common entity data), version 2 written, 1 and 2
// read:
//
// | # | item          | value                                                   |
// |---|---------------|---------------------------------------------------------|
// | 1 | Int32         | record version (2)                                      |
// | 2 | 3D point      | startPoint                                              |
// | 3 | 3D point      | middlePoint                                             |
// | 4 | 3D point      | endPoint                                                |
// | 5 | double        | offset (version 1: relative to the leader scale)        |
// | 6 | bool          | a block follows                                         |
// | 7 | hard pointer  | blockId, only when item 6 is true                       |
//
// A later version asks to be kept as a proxy; version 0 or less carries no data.
//
// The DXF record (after the common entity groups); the block is not part of it:
//
// | group | value                    |
// |-------|--------------------------|
// | 100   | subclass marker NVLeader |
// | 10    | startPoint               |
// | 11    | middlePoint              |
// | 12    | endPoint                 |
// | 40    | offset                   |
#pragma once
#include <dbcurve.h>
#include <dbents.h>

class NVLeader : public AcDbCurve {
 public:
  ACRX_DECLARE_MEMBERS(NVLeader);

  static constexpr Adesk::Int32 kRecordVersion = 2;
  // The registered class: name, parent and DXF name, and the application description
  // that drawings carry in their class list.
  static constexpr const ACHAR* kClassName = ACRX_T("NVLeader");
  static constexpr const ACHAR* kDxfName = ACRX_T("NVLEADER");
  static constexpr const ACHAR* kAppDescription =
      ACRX_T("\"Leader|Norvane Software, Inc|www.norvane.com\"");

  // All points at the origin, no block, offset 0 (what the host makes before filing in).
  NVLeader();
  // A leader on a layer with a block (which may be null), open for write by its maker.
  NVLeader(const AcGePoint3d& startPoint, const AcGePoint3d& middlePoint,
           const AcGePoint3d& endPoint, double offset, AcDbObjectId blockId, AcDbObjectId layerId);
  ~NVLeader() override;

  AcGePoint3d startPoint() const;
  AcGePoint3d middlePoint() const;
  AcGePoint3d endPoint() const;
  double offset() const;
  AcDbObjectId blockId() const;
  // The end of the second leg: `offset` from endPoint towards middlePoint, in XY.
  AcGePoint3d legEnd() const;
  // The symbol as drawn (for inspection; the leader owns it).
  const AcDbBlockReference& blockReference() const { return m_blockReference; }

  Acad::ErrorStatus setPoints(const AcGePoint3d& startPoint, const AcGePoint3d& middlePoint,
                              const AcGePoint3d& endPoint);
  // Finds the block by name (bringing it in from a drawing file on the search path when
  // the drawing lacks it); false, changing nothing, when it cannot be found.
  bool setBlock(const ACHAR* blockName);
  Acad::ErrorStatus setOffset(double offset);
  // Adds to model space a line for each leg and a block reference showing the symbol,
  // on the given layer with the leader's linetype, and appends their ids to `created`.
  // The leader itself is not changed.
  Acad::ErrorStatus explodeToModelSpace(AcDbObjectId layerId, AcDbObjectIdArray& created) const;
  // Places the symbol at endPoint, turned along the second leg.
  void updateBlock();

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  using AcDbEntity::setLayer;
  Acad::ErrorStatus setLayer(AcDbObjectId layerId, bool doSubents = true,
                             bool allowHiddenLayer = false) override;

  // The curve queries answer for the straight segment from startPoint to endPoint,
  // parameter = distance from startPoint.
  Acad::ErrorStatus getStartParam(double& param) const override;
  Acad::ErrorStatus getEndParam(double& param) const override;
  Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
  Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
  Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const override;
  Acad::ErrorStatus getParamAtPoint(const AcGePoint3d& point, double& param) const override;
  Acad::ErrorStatus getDistAtParam(double param, double& dist) const override;
  Acad::ErrorStatus getParamAtDist(double dist, double& param) const override;
  Acad::ErrorStatus getDistAtPoint(const AcGePoint3d& point, double& dist) const override;
  Acad::ErrorStatus getPointAtDist(double dist, AcGePoint3d& point) const override;

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  void subList() const override;
  Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t gsSelectionMark,
                                      const AcGePoint3d& pickPoint, const AcGePoint3d& lastPoint,
                                      const AcGeMatrix3d& viewXform, AcGePoint3dArray& snapPoints,
                                      AcDbIntArray& geomIds) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subExplode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& gripPoints, AcDbIntArray& osnapModes,
                                     AcDbIntArray& geomIds) const override;
  Acad::ErrorStatus subMoveGripPointsAt(const AcDbIntArray& indices,
                                        const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetStretchPoints(AcGePoint3dArray& stretchPoints) const override;
  Acad::ErrorStatus subMoveStretchPointsAt(const AcDbIntArray& indices,
                                           const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                     const AcGePlane& projPlane, AcGePoint3dArray& points,
                                     std::intptr_t thisGsMarker,
                                     std::intptr_t otherGsMarker) const override;
  Acad::ErrorStatus subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                     AcGePoint3dArray& points, std::intptr_t thisGsMarker,
                                     std::intptr_t otherGsMarker) const override;

 private:
  // The symbol takes part in the geometry only when the leader has a block.
  bool hasSymbol() const;

  AcGePoint3d m_startPoint;
  AcGePoint3d m_middlePoint;
  AcGePoint3d m_endPoint;
  AcDbObjectId m_blockId;
  AcDbBlockReference m_blockReference;
  double m_offset = 0.0;
};

namespace tabrik::arx {

// Adds the NVLeader class to the host's class dictionary. Another module's class under
// the name stops the host ("Class mismatch"); this module's own is left as it is.
void registerNVLeaderClass();
// Removes and deletes the class.
void removeNVLeaderClass();

}  // namespace tabrik::arx
