// The host's concrete entities: lines, circles, arcs, text, attributes, block
// references, 3D faces, 2D polylines and their vertices, viewports, and the BLOCK,
// ENDBLK and SEQEND markers. Angles are radians; points are world coordinates unless
// a comment says OCS (the entity's object coordinate system, from its normal).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "dbcurve.h"
#include "gescl3d.h"

namespace tabrik::acad {
class FieldVisitor;
}

#define TABRIK_FILED_CLASS(CLASS)                                     \
 public:                                                              \
  ACRX_DECLARE_MEMBERS(CLASS);                                        \
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override; \
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;        \
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override; \
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;        \
                                                                      \
 private:                                                             \
  void visitFields(tabrik::acad::FieldVisitor& visitor);              \
                                                                      \
 public:

class AcDbLine : public AcDbCurve {
  TABRIK_FILED_CLASS(AcDbLine)
  AcDbLine() = default;
  AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
  AcGePoint3d startPoint() const { return m_start; }
  AcGePoint3d endPoint() const { return m_end; }
  Acad::ErrorStatus setStartPoint(const AcGePoint3d& point);
  Acad::ErrorStatus setEndPoint(const AcGePoint3d& point);
  double thickness() const { return m_thickness; }
  Acad::ErrorStatus setThickness(double thickness);
  AcGeVector3d normal() const { return m_normal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subMoveGripPointsAt(const AcDbIntArray& indices,
                                        const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetStretchPoints(AcGePoint3dArray& points) const override;
  Acad::ErrorStatus subMoveStretchPointsAt(const AcDbIntArray& indices,
                                           const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t marker,
                                      const AcGePoint3d& pick, const AcGePoint3d& last,
                                      const AcGeMatrix3d& view, AcGePoint3dArray& points,
                                      AcDbIntArray& ids) const override;

 private:
  AcGePoint3d m_start, m_end;
  double m_thickness = 0.0;
  AcGeVector3d m_normal{0, 0, 1};
};

// A circle: centre (world), radius, normal. Parameter = angle from the OCS X axis.
class AcDbCircle : public AcDbCurve {
  TABRIK_FILED_CLASS(AcDbCircle)
  AcDbCircle() = default;
  AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius)
      : m_center(center), m_normal(normal.normal()), m_radius(radius) {}
  AcGePoint3d center() const { return m_center; }
  Acad::ErrorStatus setCenter(const AcGePoint3d& center);
  double radius() const { return m_radius; }
  Acad::ErrorStatus setRadius(double radius);
  AcGeVector3d normal() const { return m_normal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double thickness() const { return m_thickness; }
  Acad::ErrorStatus setThickness(double thickness);
  double circumference() const;
  bool isClosed() const override { return true; }
  bool isPeriodic() const override { return true; }

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subMoveGripPointsAt(const AcDbIntArray& indices,
                                        const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t marker,
                                      const AcGePoint3d& pick, const AcGePoint3d& last,
                                      const AcGeMatrix3d& view, AcGePoint3dArray& points,
                                      AcDbIntArray& ids) const override;

 protected:
  AcGePoint3d m_center;
  AcGeVector3d m_normal{0, 0, 1};
  double m_radius = 0.0;
  double m_thickness = 0.0;
};

// An arc: a circle's part from startAngle counter-clockwise to endAngle (about the
// normal, from the OCS X axis). Parameters are angles, from startAngle to an end
// parameter greater than it.
class AcDbArc : public AcDbCurve {
  TABRIK_FILED_CLASS(AcDbArc)
  AcDbArc() = default;
  AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle);
  AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
          double endAngle);
  AcGePoint3d center() const { return m_center; }
  Acad::ErrorStatus setCenter(const AcGePoint3d& center);
  double radius() const { return m_radius; }
  Acad::ErrorStatus setRadius(double radius);
  AcGeVector3d normal() const { return m_normal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double startAngle() const { return m_startAngle; }
  Acad::ErrorStatus setStartAngle(double angle);
  double endAngle() const { return m_endAngle; }
  Acad::ErrorStatus setEndAngle(double angle);
  double thickness() const { return m_thickness; }
  Acad::ErrorStatus setThickness(double thickness);
  // The swept angle, in (0, 2pi].
  double totalAngle() const;
  double length() const { return m_radius * totalAngle(); }

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t marker,
                                      const AcGePoint3d& pick, const AcGePoint3d& last,
                                      const AcGeMatrix3d& view, AcGePoint3dArray& points,
                                      AcDbIntArray& ids) const override;

 private:
  AcGePoint3d m_center;
  AcGeVector3d m_normal{0, 0, 1};
  double m_radius = 0.0;
  double m_startAngle = 0.0, m_endAngle = 0.0;
  double m_thickness = 0.0;
};

// Single-line text. position is the insertion (left baseline) point; alignmentPoint
// the point the justification refers to (used unless left/baseline).
class AcDbText : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbText)
  AcDbText() = default;
  AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style = AcDbObjectId::kNull,
           double height = 0.0, double rotation = 0.0);
  AcGePoint3d position() const { return m_position; }
  Acad::ErrorStatus setPosition(const AcGePoint3d& position);
  AcGePoint3d alignmentPoint() const { return m_alignment; }
  Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& point);
  bool isDefaultAlignment() const {
    return m_horizontal == AcDb::kTextLeft && m_vertical == AcDb::kTextBase;
  }
  // A copy the caller releases with delete[].
  ACHAR* textString() const;
  const ACHAR* textStringConst() const { return m_text.c_str(); }
  Acad::ErrorStatus setTextString(const ACHAR* text);
  AcDbObjectId textStyle() const { return m_style; }
  Acad::ErrorStatus setTextStyle(AcDbObjectId style);
  double height() const { return m_height; }
  Acad::ErrorStatus setHeight(double height);
  double rotation() const { return m_rotation; }
  Acad::ErrorStatus setRotation(double rotation);
  double widthFactor() const { return m_widthFactor; }
  Acad::ErrorStatus setWidthFactor(double factor);
  double oblique() const { return m_oblique; }
  Acad::ErrorStatus setOblique(double angle);
  AcDb::TextHorzMode horizontalMode() const { return m_horizontal; }
  Acad::ErrorStatus setHorizontalMode(AcDb::TextHorzMode mode);
  AcDb::TextVertMode verticalMode() const { return m_vertical; }
  Acad::ErrorStatus setVerticalMode(AcDb::TextVertMode mode);
  AcGeVector3d normal() const { return m_normal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double thickness() const { return m_thickness; }
  Acad::ErrorStatus setThickness(double thickness);

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  // The text part of DXF (the AcDbText subclass, without its vertical mode).
  Acad::ErrorStatus writeTextPart(AcDbDxfFiler* filer) const;

  AcGePoint3d m_position, m_alignment;
  std::wstring m_text;
  AcDbObjectId m_style;
  double m_height = 0.0, m_rotation = 0.0, m_widthFactor = 1.0, m_oblique = 0.0, m_thickness = 0.0;
  AcDb::TextHorzMode m_horizontal = AcDb::kTextLeft;
  AcDb::TextVertMode m_vertical = AcDb::kTextBase;
  AcGeVector3d m_normal{0, 0, 1};
  Adesk::Int16 m_generation = 0;
};

class AcDbAttributeDefinition : public AcDbText {
  TABRIK_FILED_CLASS(AcDbAttributeDefinition)
  AcDbAttributeDefinition() = default;
  AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                          const ACHAR* prompt, AcDbObjectId style = AcDbObjectId::kNull);
  ACHAR* prompt() const;
  Acad::ErrorStatus setPrompt(const ACHAR* prompt);
  ACHAR* tag() const;
  const ACHAR* tagConst() const { return m_tag.c_str(); }
  Acad::ErrorStatus setTag(const ACHAR* tag);
  bool isInvisible() const { return (m_flags & 1) != 0; }
  Acad::ErrorStatus setInvisible(bool value);
  bool isConstant() const { return (m_flags & 2) != 0; }
  Acad::ErrorStatus setConstant(bool value);
  bool isVerifiable() const { return (m_flags & 4) != 0; }
  bool isPreset() const { return (m_flags & 8) != 0; }
  Acad::ErrorStatus setPreset(bool value);
  Adesk::UInt16 fieldLength() const { return 0; }

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;

 private:
  std::wstring m_prompt, m_tag;
  Adesk::Int16 m_flags = 0;
};

class AcDbAttribute : public AcDbText {
  TABRIK_FILED_CLASS(AcDbAttribute)
  AcDbAttribute() = default;
  AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                AcDbObjectId style = AcDbObjectId::kNull);
  ACHAR* tag() const;
  const ACHAR* tagConst() const { return m_tag.c_str(); }
  Acad::ErrorStatus setTag(const ACHAR* tag);
  bool isInvisible() const { return (m_flags & 1) != 0; }
  Acad::ErrorStatus setInvisible(bool value);
  bool isConstant() const { return (m_flags & 2) != 0; }
  // Takes text, style, geometry and flags from a definition placed by a block transform.
  Acad::ErrorStatus setAttributeFromBlock(const AcDbAttributeDefinition* definition,
                                          const AcGeMatrix3d& blockTransform);

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;

 private:
  std::wstring m_tag;
  Adesk::Int16 m_flags = 0;
};

class AcDbObjectIterator {
 public:
  explicit AcDbObjectIterator(const AcDbObjectIdArray& ids) : m_ids(ids) {}
  bool done() const { return m_index >= m_ids.length(); }
  void step() {
    if (!done()) ++m_index;
  }
  AcDbObjectId objectId() const { return done() ? AcDbObjectId::kNull : m_ids[m_index]; }
  void start() { m_index = 0; }

 private:
  AcDbObjectIdArray m_ids;
  int m_index = 0;
};

// A block reference (INSERT): the block's contents placed at position, scaled, then
// turned by rotation about the normal. Owns its attributes.
class AcDbBlockReference : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbBlockReference)
  AcDbBlockReference();
  AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord);
  ~AcDbBlockReference() override;
  AcDbObjectId blockTableRecord() const { return m_block; }
  virtual Acad::ErrorStatus setBlockTableRecord(AcDbObjectId block);
  AcGePoint3d position() const { return m_position; }
  virtual Acad::ErrorStatus setPosition(const AcGePoint3d& position);
  AcGeScale3d scaleFactors() const { return m_scale; }
  virtual Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);
  double rotation() const { return m_rotation; }
  virtual Acad::ErrorStatus setRotation(double rotation);
  AcGeVector3d normal() const { return m_normal; }
  virtual Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  // Block coordinates to world: translate(-origin), scale, rotate about the normal,
  // to OCS of the normal, translate(position).
  AcGeMatrix3d blockTransform() const;
  virtual Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& transform);
  // Adds an attribute that is in no database; the reference must be in one and open
  // for write. The attribute is left open for write.
  Acad::ErrorStatus appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute);
  Acad::ErrorStatus appendAttribute(AcDbAttribute* attribute) {
    AcDbObjectId id;
    return appendAttribute(id, attribute);
  }
  // The caller deletes the iterator.
  AcDbObjectIterator* attributeIterator() const;

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subExplode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                     AcGePoint3dArray& points, std::intptr_t thisMarker,
                                     std::intptr_t otherMarker) const override;
  Acad::ErrorStatus subIntersectWith(const AcDbEntity* other, AcDb::Intersect type,
                                     const AcGePlane& plane, AcGePoint3dArray& points,
                                     std::intptr_t thisMarker,
                                     std::intptr_t otherMarker) const override;
  Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t marker,
                                      const AcGePoint3d& pick, const AcGePoint3d& last,
                                      const AcGeMatrix3d& view, AcGePoint3dArray& points,
                                      AcDbIntArray& ids) const override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subErase(bool erasing) override;
  void subList() const override;

 private:
  // The block's entities placed as this reference shows them (new, not resident).
  Acad::ErrorStatus placedContents(AcDbVoidPtrArray& entities, int depth) const;
  friend struct BlockReferenceAccess;
  AcDbObjectId m_block;
  AcGePoint3d m_position;
  AcGeScale3d m_scale;
  double m_rotation = 0.0;
  AcGeVector3d m_normal{0, 0, 1};
  struct Complex;
  std::unique_ptr<Complex> m_complex;
};

// A 3D face: three or four corners (the fourth equal to the third for a triangle);
// edges 0-3 run from corner i to corner i+1 (edge 3 back to corner 0).
class AcDbFace : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbFace)
  AcDbFace() = default;
  AcDbFace(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
           const AcGePoint3d& p3, bool e0visible = true, bool e1visible = true,
           bool e2visible = true, bool e3visible = true);
  Acad::ErrorStatus getVertexAt(Adesk::UInt16 index, AcGePoint3d& point) const;
  Acad::ErrorStatus setVertexAt(Adesk::UInt16 index, const AcGePoint3d& point);
  Acad::ErrorStatus isEdgeVisibleAt(Adesk::UInt16 index, bool& visible) const;
  Acad::ErrorStatus makeEdgeInvisibleAt(Adesk::UInt16 index);
  Acad::ErrorStatus makeEdgeVisibleAt(Adesk::UInt16 index);

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subExplode(AcDbVoidPtrArray& entitySet) const override;

 private:
  AcGePoint3d m_corners[4];
  Adesk::Int16 m_invisibleEdges = 0;  // bit i: edge i is invisible
};

// A point: its position (world), the thickness it is extruded by along its normal,
// and the rotation of its display's X axis about the normal (radians; the angle of the
// UCS it was drawn in, used when PDMODE draws a figure).
class AcDbPoint : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbPoint)
  AcDbPoint() = default;
  explicit AcDbPoint(const AcGePoint3d& position) : m_position(position) {}
  AcGePoint3d position() const { return m_position; }
  Acad::ErrorStatus setPosition(const AcGePoint3d& position);
  double thickness() const { return m_thickness; }
  Acad::ErrorStatus setThickness(double thickness);
  AcGeVector3d normal() const { return m_normal; }
  Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
  double ecsRotation() const { return m_ecsRotation; }
  Acad::ErrorStatus setEcsRotation(double rotation);
  Adesk::Boolean isPlanar() const { return Adesk::kTrue; }

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subGetGripPoints(AcGePoint3dArray& points, AcDbIntArray& modes,
                                     AcDbIntArray& ids) const override;
  Acad::ErrorStatus subMoveGripPointsAt(const AcDbIntArray& indices,
                                        const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetStretchPoints(AcGePoint3dArray& points) const override;
  Acad::ErrorStatus subMoveStretchPointsAt(const AcDbIntArray& indices,
                                           const AcGeVector3d& offset) override;
  Acad::ErrorStatus subGetOsnapPoints(AcDb::OsnapMode mode, std::intptr_t marker,
                                      const AcGePoint3d& pick, const AcGePoint3d& last,
                                      const AcGeMatrix3d& view, AcGePoint3dArray& points,
                                      AcDbIntArray& ids) const override;

 private:
  AcGePoint3d m_position;
  double m_thickness = 0.0;
  AcGeVector3d m_normal{0, 0, 1};
  double m_ecsRotation = 0.0;
};

// BLOCK, ENDBLK and SEQEND: markers with no geometry, owned by their block or complex
// entity.
class AcDbBlockBegin : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbBlockBegin)
  AcDbBlockBegin() = default;
};
class AcDbBlockEnd : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbBlockEnd)
  AcDbBlockEnd() = default;
};
class AcDbSequenceEnd : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbSequenceEnd)
  AcDbSequenceEnd() = default;
};

// A paper-space viewport: centre, width and height on the sheet; the model-space
// view it shows (view centre, height); its on/off status and the layers frozen in it.
class AcDbViewport : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDbViewport)
  AcDbViewport() = default;
  AcGePoint3d centerPoint() const { return m_center; }
  Acad::ErrorStatus setCenterPoint(const AcGePoint3d& center);
  double width() const { return m_width; }
  Acad::ErrorStatus setWidth(double width);
  double height() const { return m_height; }
  Acad::ErrorStatus setHeight(double height);
  AcGePoint2d viewCenter() const { return m_viewCenter; }
  Acad::ErrorStatus setViewCenter(const AcGePoint2d& center);
  double viewHeight() const { return m_viewHeight; }
  Acad::ErrorStatus setViewHeight(double height);
  Adesk::Int16 number() const { return m_number; }
  bool isOn() const { return m_on; }
  Acad::ErrorStatus setOn();
  Acad::ErrorStatus setOff();
  Acad::ErrorStatus freezeLayersInViewport(const AcDbObjectIdArray& layerIds);
  Acad::ErrorStatus thawLayersInViewport(const AcDbObjectIdArray& layerIds);
  Acad::ErrorStatus thawAllLayersInViewport();
  bool isLayerFrozenInViewport(AcDbObjectId layerId) const {
    return m_frozenLayers.contains(layerId);
  }
  Acad::ErrorStatus getFrozenLayerList(AcDbObjectIdArray& ids) const;

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;

 private:
  AcGePoint3d m_center;
  double m_width = 0.0, m_height = 0.0;
  AcGePoint2d m_viewCenter;
  double m_viewHeight = 1.0;
  Adesk::Int16 m_number = 2;
  bool m_on = true;
  AcDbObjectIdArray m_frozenLayers;
};

// A vertex of a 2D polyline: location (world), widths, bulge, and its kind (a vertex
// the user gave, or one that curve or spline fitting made).
class AcDb2dVertex : public AcDbEntity {
  TABRIK_FILED_CLASS(AcDb2dVertex)
  AcDb2dVertex() = default;
  explicit AcDb2dVertex(const AcGePoint3d& position, double bulge = 0.0)
      : m_position(position), m_bulge(bulge) {}
  AcGePoint3d position() const { return m_position; }
  Acad::ErrorStatus setPosition(const AcGePoint3d& position);
  double bulge() const { return m_bulge; }
  Acad::ErrorStatus setBulge(double bulge);
  AcDb::Vertex2dType vertexType() const;
  Adesk::Int16 flags() const { return m_flags; }
  void setVertexFlags(Adesk::Int16 flags) { m_flags = flags; }

 private:
  AcGePoint3d m_position;
  double m_startWidth = 0.0, m_endWidth = 0.0, m_bulge = 0.0;
  Adesk::Int16 m_flags = 0;
};

// The old-style 2D polyline (POLYLINE with VERTEX sub-entities). Curve fitting adds
// fit vertices; spline fitting replaces the shown path by a spline through control
// vertices; straighten removes both.
class AcDb2dPolyline : public AcDbCurve {
  TABRIK_FILED_CLASS(AcDb2dPolyline)
  AcDb2dPolyline();
  AcDb2dPolyline(AcDb::Poly2dType type, const AcGePoint3dArray& vertices, double elevation = 0.0,
                 bool closed = false);
  ~AcDb2dPolyline() override;
  AcDb::Poly2dType polyType() const;
  bool isClosed() const override { return (m_flags & 1) != 0; }
  Acad::ErrorStatus makeClosed();
  Acad::ErrorStatus makeOpen();
  double elevation() const { return m_elevation; }
  AcGeVector3d normal() const { return m_normal; }
  // Adds a vertex (in no database yet) after the last; left open for write when the
  // polyline is in a database.
  Acad::ErrorStatus appendVertex(AcDb2dVertex* vertex);
  Acad::ErrorStatus appendVertex(AcDbObjectId& id, AcDb2dVertex* vertex);
  AcDbObjectIterator* vertexIterator() const;
  Acad::ErrorStatus curveFit();
  Acad::ErrorStatus splineFit();
  Acad::ErrorStatus straighten();
  // The vertices the polyline shows (control vertices left out), world coordinates.
  AcGePoint3dArray shownVertices() const;

 protected:
  Adesk::Boolean subWorldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subGetGeomExtents(AcDbExtents& extents) const override;
  Acad::ErrorStatus subTransformBy(const AcGeMatrix3d& transform) override;
  Acad::ErrorStatus subExplode(AcDbVoidPtrArray& entitySet) const override;
  Acad::ErrorStatus subErase(bool erasing) override;

 private:
  struct Vertex {
    AcGePoint3d position;
    double bulge;
    Adesk::Int16 flags;
  };
  std::vector<Vertex> vertices() const;
  Acad::ErrorStatus replaceVertices(const std::vector<Vertex>& vertices);
  Adesk::Int16 m_flags = 0;
  Adesk::Int16 m_curveType = 0;  // group 75: 0 none, 5 quadratic, 6 cubic, 8 Bezier
  double m_elevation = 0.0;
  AcGeVector3d m_normal{0, 0, 1};
  friend struct Polyline2dAccess;
  struct Complex;
  std::unique_ptr<Complex> m_complex;  // vertices of a polyline not yet in a database
};
