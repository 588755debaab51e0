// The world-draw context of the plotter: entities draw themselves into it, and it hands
// their primitives, projected into view coordinates and with their resolved pen, to a
// sink. Block references nest through draw(): an entity on layer "0" inside a block
// takes the reference's layer; ByBlock colour, linetype and lineweight take the
// reference's.
#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "PlotSink.h"
#include "acgi.h"
#include "dbmain.h"

namespace tabrik::plot {

struct LayerLook {
  bool shown = true;  // on, thawed and plottable
  AcCmColor color;
  AcDbObjectId linetype;
  AcDb::LineWeight weight = AcDb::kLnWtByLwDefault;
  bool isZero = false;
};

// What the drawing's tables say about looks, read once per plot.
struct DrawingLooks {
  std::map<AcDbObjectId, LayerLook> layers;
  // Each linetype's pattern as the table holds it: dashes positive, gaps negative,
  // dots zero; continuous lines have none.
  std::map<AcDbObjectId, std::vector<double>> linetypes;
  std::map<AcDbObjectId, std::string> fonts;  // text style -> font file
  AcDbObjectId byLayerLinetype, byBlockLinetype;
  double ltscale = 1.0;
  int lwdefault = 25;  // hundredths of a millimetre
};

// From model coordinates to view coordinates: a rotation seen along the view
// direction, then a similarity onto paper for a viewport. Depth is the view's z
// (larger is nearer the viewer).
struct ViewTransform {
  AcGeMatrix3d matrix = AcGeMatrix3d::kIdentity;
  bool shaded = false;  // faces fill and the sink sorts by depth
};

class PlotDraw : public AcGiWorldDraw, private AcGiWorldGeometry, private AcGiSubEntityTraits {
 public:
  PlotDraw(const DrawingLooks& looks, PlotSink& sink, ViewTransform view = {});

  // Draws one entity of a space (nothing when its layer is hidden).
  void plot(AcDbEntity* entity);
  // Layers frozen in the viewport being drawn (left out like frozen layers).
  void setHiddenLayers(std::set<AcDbObjectId> layers) { m_hiddenLayers = std::move(layers); }

  AcGiWorldGeometry& geometry() const override { return const_cast<PlotDraw&>(*this); }
  AcGiSubEntityTraits& subEntityTraits() const override { return const_cast<PlotDraw&>(*this); }
  AcGiRegenType regenType() const override {
    return m_view.shaded ? kAcGiHideOrShadeCommand : kAcGiStandardDisplay;
  }

 private:
  // The look in force while an entity draws.
  struct Look {
    AcDbObjectId layer;
    std::uint32_t rgb = 0;
    AcDbObjectId linetype;  // resolved: never ByLayer or ByBlock
    double linetypeScale = 1.0;
    double weightMm = 0;
    std::string font;
    // What ByBlock means inside the entity.
    std::uint32_t blockRgb = 0;
    AcDbObjectId blockLinetype;
    double blockWeightMm = 0;
  };

  bool enter(AcDbEntity* entity);  // false: the entity's layer is hidden
  const LayerLook* layerLook(AcDbObjectId layer) const;
  std::uint32_t resolve(const AcCmColor& color) const;
  AcDbObjectId resolveLinetype(AcDbObjectId linetype) const;
  double resolveWeight(AcDb::LineWeight weight) const;
  Pen pen();

  // traits
  void setColor(Adesk::UInt16 colorIndex) override;
  Adesk::UInt16 color() const override { return m_index; }
  void setTrueColor(std::uint32_t rgb) override { m_look.rgb = rgb; }
  void setLayer(AcDbObjectId layerId) override { m_look.layer = layerId; }
  AcDbObjectId layerId() const override { return m_look.layer; }
  void setLineType(AcDbObjectId linetype) override { m_look.linetype = resolveLinetype(linetype); }
  AcDbObjectId lineTypeId() const override { return m_look.linetype; }
  void setSelectionMarker(std::intptr_t) override {}

  // geometry
  AcGePoint3d toView(const AcGePoint3d& p) const { return m_current * p; }
  Adesk::Boolean circle(const AcGePoint3d& center, double radius,
                        const AcGeVector3d& normal) override;
  Adesk::Boolean circularArc(const AcGePoint3d& center, double radius, const AcGeVector3d& normal,
                             const AcGeVector3d& startVector, double sweepAngle,
                             AcGiArcType arcType) override;
  Adesk::Boolean polyline(Adesk::UInt32 count, const AcGePoint3d* vertices,
                          const AcGeVector3d* normal, std::intptr_t marker) override;
  Adesk::Boolean polygon(Adesk::UInt32 count, const AcGePoint3d* vertices) override;
  Adesk::Boolean shell(Adesk::UInt32 nbVertex, const AcGePoint3d* vertexList,
                       Adesk::UInt32 faceListSize, const Adesk::Int32* faceList) override;
  Adesk::Boolean text(const AcGePoint3d& position, const AcGeVector3d& normal,
                      const AcGeVector3d& direction, double height, double width, double oblique,
                      const ACHAR* message) override;
  Adesk::Boolean draw(AcGiDrawable* drawable) override;
  Adesk::Boolean pushModelTransform(const AcGeMatrix3d& transform) override;
  Adesk::Boolean popModelTransform() override;
  void getModelToWorldTransform(AcGeMatrix3d& transform) const override;

  // Hands a path on with its depth (the nearest of its points, so that an edge on a
  // face is drawn over it).
  void emit(const std::vector<AcGePoint3d>& viewPoints, bool closed);

  const DrawingLooks& m_looks;
  PlotSink& m_sink;
  ViewTransform m_view;
  Look m_look;
  Adesk::UInt16 m_index = 7;
  std::vector<AcGeMatrix3d> m_transforms;  // model to world, innermost last
  AcGeMatrix3d m_current;                  // model to view
  int m_depth = 0;
  std::set<AcDbObjectId> m_hiddenLayers;
  // Dash patterns by linetype and scale, made once so that equal pens share one.
  std::map<std::pair<AcDbObjectId, double>, std::shared_ptr<const std::vector<double>>> m_patterns;
};

}  // namespace tabrik::plot
