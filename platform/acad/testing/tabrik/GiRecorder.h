// A world-draw context that records what entities draw: every primitive, in world
// coordinates (model transforms applied), with the colour and layer in force. The
// headless host uses it for picking and extents; tests use it to see drawings.
#pragma once
#include <string>
#include <vector>

#include "acgi.h"

namespace tabrik::acad {

struct GiPrimitive {
  enum Kind { kPolyline, kPolygon, kCircle, kArc, kText } kind = kPolyline;
  std::vector<AcGePoint3d> points;  // polyline/polygon vertices; circle/arc: centre
  double radius = 0.0;
  AcGeVector3d normal{0, 0, 1};
  AcGeVector3d startVector;  // arcs
  double sweep = 0.0;        // arcs
  std::wstring text;         // text
  double height = 0.0;       // text
  Adesk::UInt16 color = 256;
  AcDbObjectId layer;
};

class GiRecorder : public AcGiWorldDraw, private AcGiWorldGeometry, private AcGiSubEntityTraits {
 public:
  GiRecorder();
  const std::vector<GiPrimitive>& primitives() const { return m_primitives; }
  void clear() { m_primitives.clear(); }
  // Whether drawables report dragging (jigs draw with it set).
  void setDragging(bool dragging) { m_dragging = dragging; }

  AcGiWorldGeometry& geometry() const override { return const_cast<GiRecorder&>(*this); }
  AcGiSubEntityTraits& subEntityTraits() const override { return const_cast<GiRecorder&>(*this); }
  Adesk::Boolean isDragging() const override { return m_dragging; }

 private:
  Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                        const AcGeVector3d& normal) override;
  Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                             const AcGeVector3d& startVector, double sweepAngle,
                             AcGiArcType arcType) override;
  Adesk::Boolean polyline(Adesk::UInt32 count, const AcGePoint3d* vertices,
                          const AcGeVector3d* normal, std::intptr_t marker) override;
  Adesk::Boolean polygon(Adesk::UInt32 count, const AcGePoint3d* vertices) override;
  Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d& normal,
                      const AcGeVector3d& direction, double height, double width, double oblique,
                      const ACHAR* message) override;
  Adesk::Boolean draw(AcGiDrawable* drawable) override;
  Adesk::Boolean pushModelTransform(const AcGeMatrix3d& transform) override;
  Adesk::Boolean popModelTransform() override;
  void getModelToWorldTransform(AcGeMatrix3d& transform) const override;

  void setColor(Adesk::UInt16 color) override { m_color = color; }
  Adesk::UInt16 color() const override { return m_color; }
  void setTrueColor(std::uint32_t) override {}
  void setLayer(AcDbObjectId layer) override { m_layer = layer; }
  AcDbObjectId layerId() const override { return m_layer; }
  void setLineType(AcDbObjectId linetype) override { m_linetype = linetype; }
  AcDbObjectId lineTypeId() const override { return m_linetype; }
  void setSelectionMarker(std::intptr_t) override {}

  GiPrimitive start(GiPrimitive::Kind kind) const;
  AcGePoint3d toWorld(const AcGePoint3d& p) const;
  AcGeVector3d toWorld(const AcGeVector3d& v) const;

  std::vector<GiPrimitive> m_primitives;
  std::vector<AcGeMatrix3d> m_transforms;
  Adesk::UInt16 m_color = 256;
  AcDbObjectId m_layer, m_linetype;
  bool m_dragging = false;
  int m_depth = 0;
};

}  // namespace tabrik::acad
