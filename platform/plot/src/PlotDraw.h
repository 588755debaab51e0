// The world-draw context of the plotter: entities draw themselves into it, and it hands
// their primitives, in model coordinates and with their resolved colour, to a sink.
// Block references nest through draw(); an entity on layer "0" inside a block takes the
// reference's layer, a ByBlock colour the reference's colour.
#pragma once
#include <map>
#include <vector>

#include "PlotSink.h"
#include "acgi.h"
#include "dbmain.h"

namespace tabrik::plot {

struct LayerLook {
  bool shown = true;  // on, thawed and plottable
  AcCmColor color;
  bool isZero = false;
};

class PlotDraw : public AcGiWorldDraw, private AcGiWorldGeometry, private AcGiSubEntityTraits {
 public:
  PlotDraw(const std::map<AcDbObjectId, LayerLook>& layers, PlotSink& sink);

  // Draws one entity of model space (nothing when its layer is hidden).
  void plot(AcDbEntity* entity);

  AcGiWorldGeometry& geometry() const override { return const_cast<PlotDraw&>(*this); }
  AcGiSubEntityTraits& subEntityTraits() const override { return const_cast<PlotDraw&>(*this); }

 private:
  // The look in force while an entity draws.
  struct Look {
    AcDbObjectId layer;
    std::uint32_t rgb = 0;
    std::uint32_t blockRgb = 0;  // what ByBlock means inside the entity
  };

  bool enter(AcDbEntity* entity);  // false: the entity's layer is hidden
  std::uint32_t resolve(const AcCmColor& color) const;

  // traits
  void setColor(Adesk::UInt16 colorIndex) override;
  Adesk::UInt16 color() const override { return m_index; }
  void setTrueColor(std::uint32_t rgb) override { m_look.rgb = rgb; }
  void setLayer(AcDbObjectId layerId) override { m_look.layer = layerId; }
  AcDbObjectId layerId() const override { return m_look.layer; }
  void setLineType(AcDbObjectId) override {}
  AcDbObjectId lineTypeId() const override { return AcDbObjectId::kNull; }
  void setSelectionMarker(std::intptr_t) override {}

  // geometry
  Point2 flat(const AcGePoint3d& p) const;
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

  const std::map<AcDbObjectId, LayerLook>& m_layers;
  PlotSink& m_sink;
  Look m_look;
  Adesk::UInt16 m_index = 7;
  std::vector<AcGeMatrix3d> m_transforms;
  int m_depth = 0;
};

}  // namespace tabrik::plot
